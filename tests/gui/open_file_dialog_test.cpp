#include "browser/open_file_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "document/memory_file_system.h"
#include "support/bmp_builder.h"
#include "support/logo_files.h"

namespace pelorin {
namespace {

class ShownMessages : public UserMessages {
public:
    std::vector<std::string> shown;
    void showMessage(const std::string& text) override { shown.push_back(text); }
};

using Names = std::vector<std::string>;

QStringList itemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

void choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);  // as when the user picks the item
}

class OpenFileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        files.files["/docs/b.ngg"] = testing::nggFile();
        files.files["/docs/A.plr"] = std::vector<std::uint8_t>(252, 0);
        files.files["/docs/sub/inner.nlm"] = testing::nlmFile();
        files.files["/docs/sub/inner.plr"] = std::vector<std::uint8_t>(126, 0);
        files.files["/docs/sub/deeper/never.plr"] = std::vector<std::uint8_t>(126, 0);
        files.folders.insert("/docs/Empty");
    }

    MemoryFileSystem files;
    ShownMessages messages;
};

TEST_F(OpenFileDialogTest, ListsTheDocumentsFolderAndItsSubfoldersOneLevelDeep) {
    OpenFileDialog dialog(files, messages, "/docs");
    EXPECT_EQ(dialog.windowTitle(), "Open file");
    EXPECT_EQ(itemsOf(dialog.typeCombo()), (QStringList{"All supported", "*.plr", "*.bmp", "*.nlm", "*.ngg", "*.nol"}));
    EXPECT_EQ(dialog.typeCombo()->currentIndex(), 0);
    EXPECT_EQ(itemsOf(dialog.folderCombo()), (QStringList{"My documents", "Empty", "sub"}));
    EXPECT_EQ(dialog.fileList(), (Names{"/docs/A.plr", "/docs/b.ngg"}));
    EXPECT_EQ(dialog.cancelButton()->text(), "Cancel");
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    EXPECT_EQ(labels, (QStringList{"Logo type", "Folder"}));
    EXPECT_EQ(dialog.preview()->contentHeight(), 70);

    choose(dialog.folderCombo(), 2);
    EXPECT_EQ(dialog.fileList(), (Names{"/docs/sub/inner.nlm", "/docs/sub/inner.plr"}));
    EXPECT_EQ(itemsOf(dialog.folderCombo()), (QStringList{"My documents", "Empty", "sub"}))
        << "a subfolder's own folders are never offered";

    choose(dialog.typeCombo(), 1);  // "*.plr", in the chosen folder
    EXPECT_EQ(dialog.fileList(), Names{"/docs/sub/inner.plr"});
    EXPECT_EQ(dialog.preview()->contentHeight(), 40);
    choose(dialog.folderCombo(), 1);
    EXPECT_TRUE(dialog.fileList().empty());
    EXPECT_EQ(dialog.preview()->contentHeight(), 10);
    choose(dialog.folderCombo(), 0);
    EXPECT_EQ(dialog.fileList(), Names{"/docs/A.plr"});
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(dialog.selectedPath().empty());
}

TEST_F(OpenFileDialogTest, ATapEndsWithThePathAndCancelWithNone) {
    {
        OpenFileDialog dialog(files, messages, "/docs");
        QTimer::singleShot(
            0, &dialog, [&] { QTest::mouseClick(dialog.preview()->viewport(), Qt::LeftButton, {}, QPoint(40, 40)); });
        EXPECT_EQ(dialog.exec(), QDialog::Accepted);
        EXPECT_EQ(dialog.selectedPath(), "/docs/b.ngg");
    }
    {
        OpenFileDialog dialog(files, messages, "/docs");
        QTimer::singleShot(0, &dialog, [&] { QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton); });
        EXPECT_EQ(dialog.exec(), QDialog::Rejected);
        EXPECT_TRUE(dialog.selectedPath().empty());
    }
}

TEST_F(OpenFileDialogTest, TheKeysReachTheFilesAtOnceAndANewListingDropsTheHighlight) {
    OpenFileDialog dialog(files, messages, "/docs");
    QTimer::singleShot(0, &dialog, [&] {
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}) QTest::keyClick(dialog.windowHandle(), key);
        if (dialog.isVisible()) dialog.reject();  // the keys chose nothing
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedPath(), "/docs/b.ngg");
    choose(dialog.folderCombo(), 2);
    EXPECT_EQ(dialog.preview()->highlightedRow(), -1);
}

TEST_F(OpenFileDialogTest, AFolderWhoseNameIsNotUtf8ListsItsFiles) {
    const std::string folder = "/docs/caf\xe9";
    files.files[folder + "/x\xff.plr"] = std::vector<std::uint8_t>(126, 0);
    OpenFileDialog dialog(files, messages, "/docs");
    // Shown decoded, the byte that is not UTF-8 as a replacement character.
    ASSERT_EQ(dialog.folderCombo()->findText(QString::fromUtf8("caf\uFFFD")), 1);
    choose(dialog.folderCombo(), 1);
    EXPECT_EQ(dialog.fileList(), Names{folder + "/x\xff.plr"});
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(OpenFileDialogTest, ABrokenBitmapIsToldWhenListedButNeverWhenPainted) {
    files.files["/docs/good.bmp"] = testing::buildBmp({});
    OpenFileDialog dialog(files, messages, "/docs");
    ASSERT_EQ(dialog.fileList(), (Names{"/docs/A.plr", "/docs/b.ngg", "/docs/good.bmp"}));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    // The bitmap breaks after it was listed: painting it shows nothing and
    // says nothing, however often the window paints.
    files.files["/docs/good.bmp"] = testing::bytesOf("no longer a bitmap");
    for (int i = 0; i < 3; ++i) dialog.preview()->viewport()->repaint();
    EXPECT_TRUE(messages.shown.empty());
    const QImage image = dialog.preview()->viewport()->grab().toImage();
    EXPECT_NE(image.pixel(9, 65 + 8), 0xFFDCDCDCu) << "no thumbnail in the broken row";
    EXPECT_EQ(image.pixel(9, 35 + 8), 0xFFDCDCDCu) << "the rows before it still show theirs";

    choose(dialog.typeCombo(), 2);
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Error:Unexpected file type, not a DIB\n/docs/good.bmp"});
    EXPECT_TRUE(dialog.fileList().empty());
}

TEST(DocumentsFolderTest, IsTheStandardDocumentsFolderAndIsCreatedWhenMissing) {
    const QString expected = QDir::homePath() + "/Documents";
    QDir(expected).removeRecursively();
    EXPECT_EQ(documentsFolder(), expected.toStdString());
    EXPECT_TRUE(QDir(expected).exists());
}

}  // namespace
}  // namespace pelorin
