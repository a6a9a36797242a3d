// The editor as a new user meets it: a first window that shows the whole
// logo, fit to window and scroll bars, placed blocks that the selection tool
// drags at once (opaque or transparent), the Text dialog's keys, the open
// dialog's folders and the Help menu.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWheelEvent>
#include <filesystem>

#include "app/about_dialog.h"
#include "app/command_table.h"
#include "app/message_box_messages.h"
#include "app/shortcuts_dialog.h"
#include "browser/open_file_dialog.h"
#include "gui_fixture.h"
#include "gui_test_helpers.h"
#include "modal.h"
#include "pictures/text_dialog.h"
#include "support/logo_files.h"
#include "support/temp_folder.h"

namespace pelorin::testing {
namespace {

class NewUserEditorTest : public EditorFixture {
protected:
    void trigger(int id) { frame().action(id)->trigger(); }
    void grow(int dx, int dy) {
        frame().resize(frame().minimumSize() + QSize(dx, dy));
        QApplication::processEvents();
    }
};

TEST_F(NewUserEditorTest, TheFirstStartShowsTheWholeOperatorLogoAtTheDefaultZoom) {
    MemorySettingsStore fresh;
    CPelorinApp first(AppServices{fresh, messages, files});
    first.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&first.frame()));
    EXPECT_EQ(first.frame().minimumSize(), frame().minimumSize());  // the smallest stays the handheld's
    EXPECT_EQ(first.view().editor().cellSize(), 10);
    EXPECT_EQ(first.view().logoWnd().clientImage().size(), QSize(720, 140));
    EXPECT_FALSE(first.view().horizontalBar().isVisible());
    EXPECT_FALSE(first.view().verticalBar().isVisible());
}

TEST_F(NewUserEditorTest, FitToWindowTakesTheLargestCellThatShowsTheWholeCanvasCentred) {
    // The smallest window: no cell size shows all 72 columns.
    frame().action(command::kViewFitToWindow)->trigger();
    EXPECT_EQ(editor().cellSize(), 4);
    EXPECT_TRUE(view().horizontalBar().isVisible());

    // 1218 x 438 pixels of room: 16 for the operator logo, past the buttons'
    // 15, and zoom-in stops there.
    grow(1000, 300);
    QTest::keyClick(&frame(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(editor().cellSize(), 16);
    EXPECT_FALSE(view().horizontalBar().isVisible());
    EXPECT_EQ(canvas().geometry(), QRect(10 + (1220 - 1154) / 2, 10 + (440 - 226) / 2, 1154, 226));
    trigger(command::kZoomIn);
    EXPECT_EQ(editor().cellSize(), 16);
    trigger(command::kZoomOut);
    trigger(command::kZoomIn);
    EXPECT_EQ(editor().cellSize(), 16);
    // The picture canvas is twice as tall: 15 fits, 16 would not.
    trigger(command::kViewPicture);
    EXPECT_EQ(editor().cellSize(), 15);
    trigger(command::kViewFitToWindow);
    EXPECT_EQ(editor().cellSize(), 15);
    trigger(command::kViewLargeOperator);
    trigger(command::kViewFitToWindow);
    EXPECT_EQ(editor().cellSize(), 15);  // 78 x 21: 1218 / 78 = 15
}

TEST_F(NewUserEditorTest, TheScrollBarsFollowTheWheelAndTheMovingToolAndPanTheCanvas) {
    QScrollBar& across = view().horizontalBar();
    QScrollBar& down = view().verticalBar();
    ASSERT_TRUE(across.isVisible());
    ASSERT_TRUE(down.isVisible());
    EXPECT_EQ(across.maximum(), 720 - 204);
    EXPECT_EQ(down.maximum(), 140 - 124);
    const QPointF at(50, 50);
    QWheelEvent wheel(at, canvas().mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::ShiftModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&canvas(), &wheel);
    EXPECT_EQ(across.value(), 30);
    frame().action(command::kToolMoving)->trigger();
    stroke({QPoint(100, 60), QPoint(90, 55)});
    EXPECT_EQ(across.value(), 40);
    EXPECT_EQ(down.value(), 5);
    // Moved by the user, a bar pans the canvas.
    across.setValue(300);
    EXPECT_EQ(editor().origin(), (Point{300, 5}));
    down.triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(editor().origin(), (Point{300, 16}));
}

TEST_F(NewUserEditorTest, APlacedBlockIsDraggedAtOnceAndCoversWhatLiesBelowUnlessTransparent) {
    const Canvas& shown = app->document().operatorCanvas;
    const auto paste = [&](int id) {
        stroke({cellCentre(1, 0)});  // under the block's clear cell
        frame().action(command::kToolPen)->trigger();
        QGuiApplication::clipboard()->setText("#.\n.#\n");
        trigger(id);
        EXPECT_EQ(palette().currentTool(), Tool::Selection);
    };
    paste(command::kPastePicture);
    EXPECT_TRUE(shown.isSet(0, 0));
    EXPECT_FALSE(shown.isSet(1, 0));  // covered
    // The selection tool drags the block at once: one cell right.
    stroke({cellCentre(0, 0), cellCentre(1, 0)});
    EXPECT_TRUE(shown.isSet(1, 0));
    EXPECT_FALSE(shown.isSet(0, 0));
    trigger(command::kHideSelection);

    frame().action(command::kFileNew)->trigger();
    frame().action(command::kToolPen)->trigger();
    paste(command::kPasteTransparent);
    EXPECT_TRUE(shown.isSet(0, 0));
    EXPECT_TRUE(shown.isSet(1, 0));                // shows through
    stroke({cellCentre(0, 0), cellCentre(0, 2)});  // moved down two rows
    EXPECT_TRUE(shown.isSet(1, 0));                // what lay below stays
    EXPECT_TRUE(shown.isSet(0, 2));
    EXPECT_FALSE(shown.isSet(0, 0));
    EXPECT_TRUE(shown.isSet(1, 3));
    // Undo brings back the block before its drag, transparent still.
    trigger(command::kEditUndo);
    EXPECT_TRUE(shown.isSet(0, 0));
    EXPECT_TRUE(shown.isSet(1, 0));
}

TEST_F(NewUserEditorTest, TheTextDialogTabsBetweenControlsAndTakesEnterAsOkInOneLine) {
    TextDialog dialog(&frame());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QPlainTextEdit* text = dialog.textEdit();
    text->setFocus();
    QTest::keyClicks(text, "Hi");
    QTest::keyClick(text, Qt::Key_Tab);
    EXPECT_EQ(text->toPlainText(), "Hi");
    EXPECT_FALSE(text->hasFocus());
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Return, Qt::ShiftModifier);  // a second line
    QTest::keyClicks(text, "yo");
    QTest::keyClick(text, Qt::Key_Return);  // two lines: a third
    EXPECT_EQ(text->toPlainText(), "Hi\nyo\n");
    EXPECT_TRUE(dialog.isVisible());
    text->setPlainText("One");
    dialog.transparentBox()->setChecked(true);
    QTest::keyClick(text, Qt::Key_Enter);
    EXPECT_EQ(dialog.QDialog::result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.transparent());
}

TEST_F(NewUserEditorTest, TheOpenDialogStartsInTheFolderLastChosenWithTheFocusOnTheFiles) {
    const std::string docs = documentsFolder();
    std::filesystem::create_directories(docs + "/phones");
    writeFileBytes(docs + "/phones/nokia.plr", std::vector<std::uint8_t>(126, 0));
    files.files[docs + "/phones/nokia.plr"] = std::vector<std::uint8_t>(126, 0);
    onModal<OpenFileDialog>([](OpenFileDialog* dialog) {
        QComboBox* folders = dialog->folderCombo();
        const int index = folders->findText("phones");
        ASSERT_GT(index, 0);
        folders->setCurrentIndex(index);
        emit folders->activated(index);
        EXPECT_TRUE(dialog->preview()->hasFocus());
        dialog->reject();
    });
    trigger(command::kFileOpen);
    EXPECT_EQ(settings.find("Folders", "Open"), docs + "/phones");
    std::vector<std::string> listed;
    onModal<OpenFileDialog>([&](OpenFileDialog* dialog) {
        listed = dialog->fileList();
        EXPECT_EQ(dialog->folderCombo()->currentText(), "phones");
        dialog->reject();
    });
    trigger(command::kFileOpen);
    EXPECT_EQ(listed, std::vector<std::string>{docs + "/phones/nokia.plr"});
    std::filesystem::remove_all(docs + "/phones");
}

TEST_F(NewUserEditorTest, TheHelpMenuListsEveryCommandWithItsKeysAndShowsTheAboutBox) {
    EXPECT_EQ(frame().menus().back()->title(), "Help");
    const std::vector<ShortcutRow> rows = shortcutRows();
    const auto keysOf = [&rows](const std::string& command) {
        for (const auto& row : rows)
            if (row.command == command) return row.keys;
        return std::string("(missing)");
    };
    EXPECT_EQ(keysOf("File > Save"), "Ctrl+S");
    EXPECT_EQ(keysOf("File > Save As..."), "Ctrl+Shift+S");
    EXPECT_EQ(keysOf("View > Fit to window"), "Ctrl+0");
    EXPECT_EQ(keysOf("Edit > Redo"), "Ctrl+Shift+Z, Ctrl+Y");
    EXPECT_EQ(keysOf("Tools > Pen"), "P");
    EXPECT_EQ(keysOf("Zoom in"), "+, Ctrl+=, Ctrl++");
    EXPECT_EQ(keysOf("Send > Picture message"), "");
    std::size_t items = 0;
    for (const auto& item : command::kMenuItems)
        if (item.id != command::kSeparator && item.id != command::kFileOpenRecent) ++items;
    EXPECT_EQ(rows.size(), items + command::kKeyOnlyCommands.size());
    EXPECT_EQ(frame().action(command::kFileSaveAs)->toolTip(), "Save As... (Ctrl+Shift+S)");

    int abouts = 0;
    whenModal<AboutDialog>([&abouts](AboutDialog& dialog) {
        ++abouts;
        dialog.reject();
    });
    trigger(command::kHelpAbout);
    EXPECT_EQ(abouts, 1);
    whenModal<QDialog>([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "shortcutsDialog");
        dialog.reject();
    });
    trigger(command::kHelpShortcuts);
}

TEST_F(NewUserEditorTest, AMessageBoxIsWideEnoughForItsWholeTitle) {
    QMessageBox box(QMessageBox::NoIcon, "Pelorin 0.96 Beta", "Hi", QMessageBox::Ok);
    const int before = box.sizeHint().width();
    fitTitleOf(box);
    const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
    EXPECT_GT(box.sizeHint().width(), before);
    EXPECT_GE(box.sizeHint().width(), metrics.horizontalAdvance("Pelorin 0.96 Beta") + 40);
}

}  // namespace
}  // namespace pelorin::testing
