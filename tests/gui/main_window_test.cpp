// The main window as a user meets it: what start-up shows, the menus, the
// routing of their commands, the shortcuts and the About box.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QTimer>
#include <map>

#include "app/command_table.h"
#include "app/table_keys.h"
#include "browser/open_file_dialog.h"
#include "editor/layout.h"
#include "gui_fixture.h"
#include "modal.h"

namespace pelorin::testing {
namespace {

using MainWindowTest = EditorFixture;

QColor pixelAt(const QImage& image, QPoint at) { return image.pixelColor(at); }

// A picture as the palette shows it: drawn over its white background.
QImage onWhite(const QImage& picture) {
    QImage image(picture.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).drawImage(0, 0, picture);
    return image;
}

TEST_F(MainWindowTest, StartUpShowsTheOperatorCanvasAndThePencilFramed) {
    EXPECT_EQ(frame().windowTitle(), "Pelorin 0.96 Beta");
    EXPECT_FALSE(frame().windowIcon().isNull());
    EXPECT_EQ(editor().kind(), LogoKind::Operator);
    EXPECT_EQ(editor().cellSize(), 10);

    // The canvas window inside the grabbed main window, one border pixel in.
    const QImage shot = frame().grab().toImage();
    const QPoint client = canvas().mapTo(&frame(), QPoint(CLogoWnd::kBorder, CLogoWnd::kBorder));
    const QColor silver(192, 192, 192), white(Qt::white);
    EXPECT_EQ(pixelAt(shot, client + QPoint(5, 5)), silver);  // cell (0, 0)
    EXPECT_EQ(pixelAt(shot, client + QPoint(15, 5)), white);  // cell (1, 0)
    EXPECT_EQ(pixelAt(shot, client + QPoint(9, 9)), silver);  // no grid lines
    // The smallest window shows 20 columns and 12 rows and a fifth of the
    // last ones, beside and above the scroll bars.
    EXPECT_EQ(canvas().clientImage().size(), QSize(204, 124));
    EXPECT_EQ(pixelAt(shot, client + QPoint(203, 5)), silver);  // column 20
    EXPECT_EQ(pixelAt(shot, client + QPoint(5, 123)), silver);  // row 12
    EXPECT_EQ(pixelAt(shot, client + QPoint(15, 123)), white);  // row 12
    EXPECT_NE(pixelAt(shot, client - QPoint(1, 1)), white);     // the border

    // The pencil in colour and framed, the other tools grey.
    const QImage tools = palette().grab().toImage();
    const auto& images = palette().buttonImages();
    EXPECT_EQ(tools.copy(2, 2, 32, 32), onWhite(images[1]));
    EXPECT_EQ(tools.copy(38, 2, 32, 32), onWhite(images[2]));
    EXPECT_EQ(tools.copy(74, 2, 32, 32), onWhite(images[4]));
    EXPECT_EQ(tools.copy(110, 2, 32, 32), onWhite(images[6]));
    EXPECT_EQ(tools.copy(146, 38, 32, 32), onWhite(images[8]));
    EXPECT_EQ(tools.copy(182, 38, 32, 32), onWhite(images[9]));
    EXPECT_EQ(pixelAt(tools, QPoint(0, 18)), QColor(Qt::black));
    EXPECT_EQ(pixelAt(tools, QPoint(35, 18)), QColor(Qt::black));
    EXPECT_EQ(pixelAt(tools, QPoint(18, 0)), QColor(Qt::black));
    EXPECT_EQ(pixelAt(tools, QPoint(36, 18)), white);
    EXPECT_EQ(pixelAt(tools, QPoint(71, 18)), white);
}

TEST_F(MainWindowTest, ButtonPicturesAreTenDistinctImagesWithGreyOnesForToolsNotChosen) {
    const auto& images = palette().buttonImages();
    const auto colourful = [](const QImage& image) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() > 0 && (c.red() != c.green() || c.green() != c.blue())) return true;
            }
        return false;
    };
    for (std::size_t i = 0; i < images.size(); ++i) {
        EXPECT_EQ(images[i].size(), QSize(32, 32)) << i;
        EXPECT_EQ(colourful(images[i]), i % 2 == 1 || i >= 8) << i;
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(images[i], images[j]) << i << " " << j;
    }
}

TEST(MainWindowStartTest, TheDocumentReadsTheRememberedValuesBeforeTheWindowShows) {
    MemorySettingsStore settings;
    settings.writeString("Last", "Number", "+4917012345");
    settings.writeInt("Last", "Report", 0);
    settings.writeString("Settings", "COMport", "COM1:");
    RecordingMessages messages;
    MemoryFileSystem files;
    CPelorinApp app(AppServices{settings, messages, files});
    EXPECT_EQ(app.document().lastNumber, "+4917012345");
    EXPECT_EQ(app.document().lastReport, 0);
    EXPECT_EQ(app.document().lastCountry, "000");
    EXPECT_EQ(app.document().comPort, "COM1:");
    EXPECT_FALSE(app.document().countryNames.empty());
}

TEST_F(MainWindowTest, MenusHoldEveryItemWithItsIdShortcutAndOrder) {
    ASSERT_EQ(frame().menus().size(), command::kMenus.size());
    std::size_t tableIndex = 0;
    for (std::size_t m = 0; m < command::kMenus.size(); ++m) {
        QMenu* menu = frame().menus()[m];
        EXPECT_EQ(menu->title().toStdString(), command::kMenus[m]);
        for (QAction* action : menu->actions()) {
            ASSERT_LT(tableIndex, command::kMenuItems.size());
            const auto& item = command::kMenuItems[tableIndex++];
            EXPECT_EQ(item.menu, command::kMenus[m]);
            if (item.id == command::kSeparator) {
                EXPECT_TRUE(action->isSeparator()) << tableIndex;
                continue;
            }
            EXPECT_EQ(action->text().toStdString(), item.text);
            EXPECT_EQ(action->data().toInt(), item.id);
            EXPECT_EQ(frame().action(item.id), action);
        }
    }
    EXPECT_EQ(tableIndex, command::kMenuItems.size());

    EXPECT_EQ(frame().action(command::kFileNew)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    EXPECT_EQ(frame().action(command::kFileOpen)->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(frame().action(command::kFileSave)->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(frame().action(command::kAppExit)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    EXPECT_TRUE(frame().action(command::kAppAbout)->shortcut().isEmpty());

    const std::vector<QString> tips = {"New", "File", "Help", "Cut", "Copy", "Paste", "About"};
    EXPECT_EQ(frame().tooltipTable(), tips);
}

// Every key of the table reads as Qt's own parser reads it, and spellings the
// quick reader does not know still reach that parser.
TEST(TableKeysTest, EveryTableKeyReadsAsQtReadsIt) {
    for (const auto& shortcut : command::kShortcuts) {
        const QString keys = QString::fromUtf8(shortcut.keys.data(), static_cast<qsizetype>(shortcut.keys.size()));
        EXPECT_EQ(tableKeys(shortcut.keys), QKeySequence::fromString(keys, QKeySequence::PortableText))
            << shortcut.keys;
    }
    for (std::string_view keys :
         {"Ctrl+Alt+Shift+F12", "Alt+Space", "Shift+Tab", "Ctrl+PgDown", "Meta+K", "F13", "Ctrl+Ä", "Ctrl+", "a"})
        EXPECT_EQ(tableKeys(keys),
                  QKeySequence::fromString(QString::fromUtf8(keys.data(), static_cast<qsizetype>(keys.size())),
                                           QKeySequence::PortableText))
            << keys;
}

TEST_F(MainWindowTest, MenuStatesFollowTheKindShownAndTheTool) {
    using namespace command;
    struct Expected {
        int viewItem;
        LogoKind kind;
        bool operatorLogo, groupGraphic, pictureMessage;
    };
    const Expected cases[] = {{kViewPicture, LogoKind::Picture, false, false, true},
                              {kViewLargeOperator, LogoKind::LargeOperator, true, false, false},
                              {kViewOperator, LogoKind::Operator, true, true, false}};
    const int toolItems[] = {kToolPen, kToolEraser, kToolMoving, kToolSelection, kToolLine, kToolRectangle, kToolFill};
    const int viewItems[] = {kViewOperator, kViewPicture, kViewLargeOperator};
    for (const auto& c : cases) {
        frame().action(c.viewItem)->trigger();
        ASSERT_EQ(editor().kind(), c.kind);
        for (QMenu* menu : frame().menus()) emit menu->aboutToShow();
        EXPECT_EQ(frame().action(kSendOperatorLogo)->isEnabled(), c.operatorLogo);
        EXPECT_EQ(frame().action(kSendGroupGraphic)->isEnabled(), c.groupGraphic);
        EXPECT_TRUE(frame().action(kSendRestoreOperatorLogo)->isEnabled());
        EXPECT_EQ(frame().action(kSendPictureMessage)->isEnabled(), c.pictureMessage);
        for (int id : viewItems) {
            EXPECT_TRUE(frame().action(id)->isEnabled());
            EXPECT_EQ(frame().action(id)->isChecked(), id == c.viewItem) << id;
        }
        // Every other item but Undo and Redo (enabled only with a step to
        // take) and Open Recent (only with a file listed) is enabled and never
        // checked.
        for (const auto& item : kMenuItems) {
            if (item.id == kSeparator || (item.id >= kSendOperatorLogo && item.id <= kSendRestoreOperatorLogo) ||
                item.id == kSendPictureMessage || item.id == kEditUndo || item.id == kEditRedo ||
                item.id == kFileOpenRecent)
                continue;
            EXPECT_TRUE(frame().action(item.id)->isEnabled()) << item.id;
        }
        EXPECT_FALSE(frame().action(kCopySelection)->isCheckable());
    }
    for (int chosen : toolItems) {
        frame().action(chosen)->trigger();
        emit frame().menus()[2]->aboutToShow();
        for (int id : toolItems) EXPECT_EQ(frame().action(id)->isChecked(), id == chosen) << chosen << " " << id;
    }
    EXPECT_EQ(palette().currentTool(), Tool::Fill);
}

// Notes the mark the style is asked to draw for each checkable menu item.
struct MenuMarks : QProxyStyle {
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuItem && item && item->checkType != QStyleOptionMenuItem::NotCheckable)
            marks[item->text.toStdString()] =
                std::string(item->checkType == QStyleOptionMenuItem::Exclusive ? "radio" : "check") +
                (item->checked ? " on" : " off");
        QProxyStyle::drawControl(element, option, painter, widget);
    }
    mutable std::map<std::string, std::string> marks;
};

TEST_F(MainWindowTest, ToolsAndViewItemsCarryCheckMarksNotRadioMarks) {
    using Marks = std::map<std::string, std::string>;
    const auto shown = [&](QMenu* menu) {
        MenuMarks style;
        menu->setStyle(&style);
        menu->popup(frame().mapToGlobal(QPoint(0, 0)));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(menu));
        menu->repaint();
        menu->hide();
        menu->setStyle(nullptr);
        return style.marks;
    };
    frame().action(command::kToolEraser)->trigger();
    frame().action(command::kViewPicture)->trigger();
    frame().action(command::kViewPicture)->trigger();  // chosen again, it stays checked
    EXPECT_EQ(shown(frame().menus()[2]), (Marks{{"Pen\tP", "check off"},
                                                {"Eraser\tE", "check on"},
                                                {"Moving\tM", "check off"},
                                                {"Selection\tS", "check off"},
                                                {"Line\tL", "check off"},
                                                {"Rectangle\tR", "check off"},
                                                {"Fill\tF", "check off"},
                                                {"&Ellipse\tO", "check off"},
                                                {"&Invert pen\tI", "check off"},
                                                {"Fi&lled\tShift+F", "check off"},
                                                {"Mirror &horizontally\tShift+H", "check off"},
                                                {"Mirror &vertically\tShift+V", "check off"}}));
    EXPECT_EQ(shown(frame().menus()[3]), (Marks{{"Operator logo && group graphic", "check off"},
                                                {"Picture message", "check on"},
                                                {"62xx/71xx Operator logo", "check off"}}));
}

TEST_F(MainWindowTest, NewAndOpenReachTheDocumentAndNewDropsTheSelection) {
    using namespace command;
    using Level = CommandRouter::Level;
    const auto& router = app->router();
    for (int id : {kFileNew, kFileOpen, kFileSave, kSettings}) EXPECT_EQ(router.handlerOf(id), Level::Document) << id;
    for (int id : {kAppAbout, kAppExit}) EXPECT_EQ(router.handlerOf(id), Level::Application) << id;
    for (int id : {kToolPen, kCopySelection, kHideSelection, kDeleteSelection, kViewPicture, kSendOperatorLogo,
                   kSendPictureMessage})
        EXPECT_EQ(router.handlerOf(id), Level::View) << id;

    // Draw, lift a selection around the drawing, then File > New.
    stroke({cellCentre(3, 3), cellCentre(4, 3)});
    frame().action(kToolSelection)->trigger();
    stroke({cellCentre(2, 2), cellCentre(5, 4)});
    ASSERT_EQ(editor().selection(), (Rect{2, 2, 6, 5}));
    frame().action(kFileNew)->trigger();
    EXPECT_TRUE(editor().selection().isEmpty());
    EXPECT_FALSE(app->document().operatorCanvas.isSet(3, 3));
    const QImage shown = canvas().clientImage();
    EXPECT_EQ(shown.pixelColor(35, 35), QColor(192, 192, 192));  // cell (3, 3), unselected and clear
    EXPECT_EQ(viewImage().pixelColor(87, 163), QColor(220, 220, 220));

    // A later drag has nothing of the old picture to stamp.
    stroke({cellCentre(3, 3), cellCentre(6, 3)});
    EXPECT_TRUE(std::all_of(app->document().operatorCanvas.values().begin(),
                            app->document().operatorCanvas.values().end(), [](std::int32_t v) { return v == 0; }));

    onModal<OpenFileDialog>([](OpenFileDialog* dialog) { dialog->reject(); });
    frame().action(kFileOpen)->trigger();
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, CtrlQClosesTheWindowLikeExit) {
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    QTest::keyClick(&frame(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(frame().isVisible());

    app = std::make_unique<CPelorinApp>(AppServices{settings, messages, files});
    app->show();
    ASSERT_TRUE(frame().isVisible());
    frame().action(command::kAppExit)->trigger();
    EXPECT_FALSE(frame().isVisible());
}

TEST_F(MainWindowTest, AboutShowsTheVersionAndTheIconUntilOk) {
    QString title, version;
    bool hadIcon = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        version = dialog->findChild<QLabel*>("version")->text();
        hadIcon = !dialog->findChild<QLabel*>("icon")->pixmap().isNull();
        dialog->accept();
    });
    frame().action(command::kAppAbout)->trigger();
    EXPECT_EQ(title, "About Pelorin");
    EXPECT_EQ(version, "Pelorin Version 0.96 Beta");
    EXPECT_TRUE(hadIcon);
}

}  // namespace
}  // namespace pelorin::testing
