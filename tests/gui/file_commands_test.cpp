// File New, Open and Save through the menu: the dialogs they run, what they
// change and what the canvas window shows when they return.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>
#include <filesystem>
#include <map>

#include "app/command_table.h"
#include "browser/open_file_dialog.h"
#include "document/packed.h"
#include "gui_fixture.h"
#include "modal.h"
#include "support/logo_files.h"
#include "support/temp_folder.h"

namespace pelorin::testing {
namespace {

const QColor kBlack(0, 0, 0);

class FileCommandsTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        docs = documentsFolder();
    }

    void trigger(int id) { frame().action(id)->trigger(); }
    // What the canvas window shows at a cell, as last drawn.
    QColor shownCell(int x, int y) {
        const QPoint p = cellCentre(x, y) - QPoint(CLogoWnd::kBorder, CLogoWnd::kBorder);
        return canvas().clientImage().pixelColor(p);
    }
    // File, Open, tapping the thumbnail of the given row.
    void openRow(int row) {
        onModal<OpenFileDialog>([row](OpenFileDialog* dialog) {
            QTest::mouseClick(dialog->preview()->viewport(), Qt::LeftButton, {}, QPoint(40, 20 + 30 * row));
        });
        trigger(command::kFileOpen);
    }
    // File, Save As, typing a path.
    void saveAs(const std::string& path) {
        onModal<QFileDialog>([path](QFileDialog* dialog) {
            dialog->selectFile(QString::fromStdString(path));
            static_cast<QDialog*>(dialog)->accept();  // as the Save button does
        });
        trigger(command::kFileSaveAs);
    }
    Canvas& canvasOf(LogoKind kind) { return app->document().canvas(kind); }

    std::string docs;
};

TEST_F(FileCommandsTest, OpenShowsTheImportedPictureAtOnce) {
    files.files[docs + "/a.ngg"] = nggFile(72, 14, [](int x, int y) { return x == 3 && y == 2; });
    std::vector<std::uint8_t> large(205, 0);
    large[0] = 0x80;       // (0, 0)
    large[79 / 8] = 0x01;  // bit 79: (1, 1)
    files.files[docs + "/b.plr"] = large;
    stroke({cellCentre(5, 5)});  // something to replace
    trigger(command::kToolSelection);
    stroke({cellCentre(1, 1), cellCentre(6, 6)});

    openRow(1);
    EXPECT_EQ(editor().kind(), LogoKind::LargeOperator);
    EXPECT_TRUE(editor().selection().isEmpty());
    EXPECT_EQ(packCanvas(canvasOf(LogoKind::LargeOperator)), large);
    // Shown before any further event is handled.
    EXPECT_EQ(shownCell(0, 0), kBlack);
    EXPECT_EQ(shownCell(1, 1), kBlack);
    EXPECT_NE(shownCell(1, 0), kBlack);
    const QImage shown = canvas().clientImage().copy();
    editor().redrawAll();
    EXPECT_EQ(shown, canvas().clientImage()) << "the screen equals a full repaint";

    openRow(0);
    EXPECT_EQ(editor().kind(), LogoKind::Operator);
    EXPECT_EQ(shownCell(3, 2), kBlack);
    EXPECT_NE(shownCell(5, 5), kBlack);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FileCommandsTest, SaveThenOpenRestoresTheCanvasExactly) {
    trigger(command::kViewLargeOperator);
    Canvas& large = canvasOf(LogoKind::LargeOperator);
    for (int x = 0; x < large.width(); ++x)
        for (int y = 0; y < large.height(); ++y) large.set(x, y, (x * 5 + y * 3) % 7 == 0);
    const Canvas drawn = large;

    bool dialogAsExpected = false;
    onModal<QFileDialog>([&](QFileDialog* dialog) {
        dialogAsExpected = dialog->nameFilters() == QStringList{"Pelorin(*.plr)"} &&
                           !dialog->testOption(QFileDialog::DontConfirmOverwrite) && dialog->defaultSuffix() == "plr" &&
                           dialog->acceptMode() == QFileDialog::AcceptSave;
        dialog->selectFile(QString::fromStdString(docs + "/saved.plr"));
        static_cast<QDialog*>(dialog)->accept();  // as the Save button does
    });
    trigger(command::kFileSave);
    EXPECT_TRUE(dialogAsExpected);
    ASSERT_EQ(files.files.count(docs + "/saved.plr"), 1u);
    EXPECT_EQ(files.files[docs + "/saved.plr"], packCanvas(drawn));

    trigger(command::kFileNew);
    trigger(command::kViewOperator);
    canvasOf(LogoKind::Operator).set(2, 2, true);
    canvasOf(LogoKind::Picture).set(3, 3, true);
    openRow(0);
    EXPECT_EQ(editor().kind(), LogoKind::LargeOperator);
    EXPECT_EQ(canvasOf(LogoKind::LargeOperator), drawn);
    EXPECT_TRUE(canvasOf(LogoKind::Operator).isSet(2, 2));
    EXPECT_TRUE(canvasOf(LogoKind::Picture).isSet(3, 3));
    EXPECT_EQ(shownCell(0, 0), kBlack);
    EXPECT_NE(shownCell(1, 0), kBlack);
}

TEST_F(FileCommandsTest, ANameTypedWithoutAnExtensionIsSavedAsPlr) {
    const auto drawn = packCanvas(canvasOf(LogoKind::Operator));
    std::filesystem::create_directories(docs + "/sub.dir");
    for (const auto& [typed, written] : std::map<std::string, std::string>{{"logo", "logo.plr"},
                                                                           {"keep.bin", "keep.bin"},
                                                                           {"a.b.plr", "a.b.plr"},
                                                                           {"sub.dir/in", "sub.dir/in.plr"}}) {
        files.files.clear();
        saveAs(docs + "/" + typed);
        EXPECT_EQ(files.files, (decltype(files.files){{docs + "/" + written, drawn}})) << typed;
    }
    // Replacing a file is asked about under the name that is written.
    writeFileBytes(docs + "/sub.dir/taken.plr", {1});
    int asked = 0;
    onModal<QFileDialog>([&](QFileDialog* dialog) {
        onModal<QMessageBox>([&](QMessageBox* box) {
            ++asked;
            box->button(QMessageBox::No)->click();
        });
        dialog->selectFile(QString::fromStdString(docs + "/sub.dir/taken"));
        static_cast<QDialog*>(dialog)->accept();
        if (dialog->isVisible()) dialog->reject();
    });
    files.files.clear();
    trigger(command::kFileSaveAs);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(files.files.empty());
    std::filesystem::remove_all(docs + "/sub.dir");
}

// A press or release as the window system gives it: to the window under the
// pointer, which finds the widget and tells a double-click by the time and
// place of the previous press.
void systemMouse(QWidget& window, QPoint global, QEvent::Type type) {
    QWindow* handle = window.windowHandle();
    qt_handleMouseEvent(handle, handle->mapFromGlobal(global), global,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton, type, {},
                        ++QTest::lastMouseTimestamp);
}

TEST_F(FileCommandsTest, ADoubleClickThatChoosesAFileChangesNothingBeneath) {
    // Each tool on a file whose pixels it would change.
    for (const auto& [tool, fill] : std::map<int, std::uint8_t>{
             {command::kToolPen, 0x00}, {command::kToolEraser, 0xFF}, {command::kToolSelection, 0xFF}}) {
        const std::vector<std::uint8_t> file(252, fill);
        files.files[docs + "/a.plr"] = file;
        trigger(command::kViewPicture);
        trigger(tool);
        const QPoint target = canvas().mapToGlobal(cellCentre(15, 8));
        QTest::lastMouseTimestamp += 1000;  // long after any earlier click
        onModal<OpenFileDialog>([&](OpenFileDialog* dialog) {
            // Put the first thumbnail over the canvas, and click it.
            QWidget* rows = dialog->preview()->viewport();
            dialog->move(dialog->pos() + target - rows->mapToGlobal(QPoint(40, 20)));
            systemMouse(*dialog, target, QEvent::MouseButtonPress);
            systemMouse(frame(), target, QEvent::MouseButtonRelease);
        });
        trigger(command::kFileOpen);
        // The second click, on what lay beneath the dialog.
        ASSERT_TRUE(canvas().rect().contains(canvas().mapFromGlobal(target)));
        systemMouse(frame(), target, QEvent::MouseButtonPress);
        systemMouse(frame(), target, QEvent::MouseButtonRelease);
        EXPECT_EQ(packCanvas(canvasOf(LogoKind::Picture)), file) << tool;
        EXPECT_TRUE(editor().selection().isEmpty()) << tool;
    }
}

TEST_F(FileCommandsTest, SaveAsksBeforeReplacingAFile) {
    const std::string existing = docs + "/existing.plr";
    writeFileBytes(existing, {1, 2, 3});
    canvasOf(LogoKind::Operator).set(0, 0, true);
    int asked = 0;
    const auto answer = [&](QMessageBox::StandardButton button) {
        onModal<QFileDialog>([&, button](QFileDialog* dialog) {
            onModal<QMessageBox>([&, button](QMessageBox* box) {
                ++asked;
                box->button(button)->click();
            });
            dialog->selectFile(QString::fromStdString(existing));
            static_cast<QDialog*>(dialog)->accept();    // as the Save button does
            if (dialog->isVisible()) dialog->reject();  // "No" keeps the dialog open: cancel it
        });
        trigger(command::kFileSave);
    };
    answer(QMessageBox::No);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(files.files.count(existing), 0u);
    answer(QMessageBox::Yes);
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(files.files.count(existing), 1u);
    EXPECT_EQ(files.files[existing], packCanvas(canvasOf(LogoKind::Operator)));
    std::filesystem::remove(existing);
}

TEST_F(FileCommandsTest, CancelledDialogsChangeNothing) {
    files.files[docs + "/a.plr"] = std::vector<std::uint8_t>(252, 0xFF);
    stroke({cellCentre(4, 4)});
    const CPelorinDoc before = app->document();
    const QImage shown = canvas().clientImage().copy();
    const auto filesBefore = files.files;

    onModal<OpenFileDialog>([](OpenFileDialog* dialog) { QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton); });
    trigger(command::kFileOpen);
    onModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    trigger(command::kFileSave);

    EXPECT_EQ(editor().kind(), LogoKind::Operator);
    for (LogoKind kind : {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator})
        EXPECT_EQ(canvasOf(kind), before.canvas(kind));
    EXPECT_EQ(canvas().clientImage(), shown);
    EXPECT_EQ(files.files, filesBefore);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FileCommandsTest, NewClearsOnlyTheCurrentCanvas) {
    for (LogoKind kind : {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator})
        canvasOf(kind).set(1, 1, true);
    trigger(command::kViewPicture);
    ASSERT_EQ(shownCell(1, 1), kBlack);
    trigger(command::kFileNew);
    EXPECT_FALSE(canvasOf(LogoKind::Picture).isSet(1, 1));
    EXPECT_TRUE(canvasOf(LogoKind::Operator).isSet(1, 1));
    EXPECT_TRUE(canvasOf(LogoKind::LargeOperator).isSet(1, 1));
    EXPECT_EQ(editor().kind(), LogoKind::Picture);
    EXPECT_NE(shownCell(1, 1), kBlack);
}

}  // namespace
}  // namespace pelorin::testing

namespace pelorin::testing {
namespace {

// A canvas opened or saved has a name: Save writes that file again without
// asking, the title shows it with "*" while the canvas differs, Save As asks
// in the folder last used with the name proposed, and Open Recent lists the
// files and drops one that has gone.
TEST_F(FileCommandsTest, ACanvasSavedOnceIsSavedAgainUnderItsNameAndListedAsRecent) {
    std::filesystem::create_directories(docs + "/named");
    const std::string path = docs + "/named/logo.plr";
    stroke({cellCentre(1, 1)});
    saveAs(path);
    EXPECT_EQ(frame().windowTitle(), "logo.plr - Pelorin 0.96 Beta");
    stroke({cellCentre(2, 1)});
    EXPECT_EQ(frame().windowTitle(), "logo.plr* - Pelorin 0.96 Beta");
    trigger(command::kFileSave);  // no dialog: nothing waits for one
    EXPECT_EQ(files.files[path], packCanvas(canvasOf(LogoKind::Operator)));
    EXPECT_EQ(frame().windowTitle(), "logo.plr - Pelorin 0.96 Beta");

    QString folder, proposed;
    onModal<QFileDialog>([&](QFileDialog* dialog) {
        folder = dialog->directory().absolutePath();
        proposed = dialog->selectedFiles().value(0);
        dialog->reject();
    });
    trigger(command::kFileSaveAs);
    EXPECT_EQ(folder.toStdString(), docs + "/named");
    EXPECT_EQ(proposed.toStdString(), docs + "/named/logo.plr");

    // Another canvas has no name until it gets one.
    trigger(command::kViewPicture);
    EXPECT_EQ(frame().windowTitle(), "Pelorin 0.96 Beta");
    saveAs(docs + "/named/picture.plr");
    emit frame().recentMenu()->aboutToShow();
    QStringList shown;
    for (QAction* entry : frame().recentMenu()->actions())
        if (entry->isVisible()) shown << entry->text();
    EXPECT_EQ(shown, (QStringList{QString::fromStdString("&1 " + docs + "/named/picture.plr"),
                                  QString::fromStdString("&2 " + path)}));

    // Reopening the first from the list names its canvas again.
    trigger(command::kViewOperator);
    trigger(command::kFileNew);  // a new drawing has no name
    EXPECT_EQ(frame().windowTitle(), "Pelorin 0.96 Beta");
    trigger(command::kFileRecentFirst + 1);
    EXPECT_TRUE(canvasOf(LogoKind::Operator).isSet(2, 1));
    EXPECT_EQ(frame().windowTitle(), "logo.plr - Pelorin 0.96 Beta");
    EXPECT_EQ(settings.find("Recent", "File1"), path);

    // A file that has gone leaves the list with a message.
    files.files.erase(docs + "/named/picture.plr");
    trigger(command::kFileRecentFirst + 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("picture.plr"), std::string::npos);
    EXPECT_EQ(settings.find("Recent", "File1"), path);
    EXPECT_EQ(settings.find("Recent", "File2"), "");
    std::filesystem::remove_all(docs + "/named");
}

}  // namespace
}  // namespace pelorin::testing
