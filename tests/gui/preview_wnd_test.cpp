#include "browser/preview_wnd.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <map>
#include <mutex>
#include <thread>

#include "document/memory_file_system.h"
#include "gui_test_helpers.h"
#include "support/bmp_builder.h"
#include "support/compressed.h"

namespace pelorin {
namespace {

// Counts the files opened, so a test can tell which rows were drawn.
class CountingFiles : public MemoryFileSystem {
public:
    std::map<std::string, int> opened;
    std::unique_ptr<InputFile> openForReading(const std::string& path) override {
        ++opened[path];
        return MemoryFileSystem::openForReading(path);
    }
};

class FakeDialog : public PreviewOwner {
public:
    std::vector<std::string> files;
    std::vector<std::string> chosen;
    const std::vector<std::string>& fileList() const override { return files; }
    void chooseFile(const std::string& path) override { chosen.push_back(path); }
};

// A packed document file of a size with its first and last pixels set.
std::vector<std::uint8_t> cornersDocument(int width, int height) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>((width * height + 7) / 8), 0);
    const int last = width * height - 1;
    bytes[0] |= 0x80;
    bytes[static_cast<std::size_t>(last / 8)] |= static_cast<std::uint8_t>(0x80 >> (last % 8));
    return bytes;
}

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        preview.setDialog(&dialog);
        preview.resize(240, 190);
    }

    void show(int fileCount) {
        preview.setContentHeight(30 * fileCount + 10);
        preview.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    }

    QImage grab() { return preview.viewport()->grab().toImage(); }

    CountingFiles files;
    FakeDialog dialog;
    CPreviewWnd preview{files};
};

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kGrey = 0xFFDCDCDC;

TEST_F(PreviewTest, ThumbnailsSitCentredInTheirCellsAtOneToOne) {
    files.files["/d/op.plr"] = cornersDocument(72, 14);
    files.files["/d/pic.plr"] = cornersDocument(72, 28);
    files.files["/d/large.plr"] = cornersDocument(78, 21);
    testing::BmpLayout layout;  // 72 x 14, ink only at the top-left pixel, in blue
    layout.entry0[0] = 255;
    layout.pixel = [](int x, int storedRow) { return x == 0 && storedRow == 13 ? 0u : 3u; };
    files.files["/d/blue.bmp"] = testing::buildBmp(layout);
    dialog.files = {"/d/op.plr", "/d/pic.plr", "/d/large.plr", "/d/blue.bmp"};
    show(4);
    const QImage image = grab();
    const QRgb background = image.pixel(0, 0);
    ASSERT_NE(background, kGrey);
    ASSERT_NE(background, kBlack);

    struct Expected {
        int left, top, width, height;
    };
    // Cell x 5 to 85, rows 30 high from y 5: 72 x 14 at (4, 8) in the cell,
    // 72 x 28 at (4, 1), 78 x 21 at (1, 4).
    const Expected expected[] = {{9, 13, 72, 14}, {9, 36, 72, 28}, {6, 69, 78, 21}};
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.top);
        const int right = e.left + e.width - 1, bottom = e.top + e.height - 1;
        EXPECT_EQ(image.pixel(e.left, e.top), kBlack);
        EXPECT_EQ(image.pixel(right, bottom), kBlack);
        EXPECT_EQ(image.pixel(e.left + 1, e.top), kGrey);
        EXPECT_EQ(image.pixel(right - 1, bottom), kGrey);
        EXPECT_EQ(image.pixel(e.left - 1, e.top), background);
        EXPECT_EQ(image.pixel(e.left, e.top - 1), background);
        EXPECT_EQ(image.pixel(right + 1, bottom), background);
        EXPECT_EQ(image.pixel(right, bottom + 1), background);
    }
    // The bitmap keeps its own colour for index 0 and shows grey elsewhere.
    EXPECT_EQ(image.pixel(9, 95 + 8), 0xFF0000FF);
    EXPECT_EQ(image.pixel(10, 95 + 8), kGrey);
    EXPECT_EQ(image.pixel(9 + 71, 95 + 8 + 13), kGrey);

    // Names are drawn to the right of x 90 only, in their rows.
    bool inkLeftOfLabels = false, inkInLabels = false;
    for (int y = 5; y < 125; ++y) {
        for (int x = 86; x < 90; ++x) inkLeftOfLabels |= image.pixel(x, y) != background;
        for (int x = 90; x < 210; ++x) inkInLabels |= image.pixel(x, y) != background;
    }
    EXPECT_FALSE(inkLeftOfLabels);
    EXPECT_TRUE(inkInLabels);
}

TEST_F(PreviewTest, APaintReadsAgainOnlyTheRowsItMeets) {
    for (int i = 0; i < 10; ++i) {
        const std::string path = "/d/" + std::to_string(i) + ".plr";
        files.files[path] = cornersDocument(72, 14);
        dialog.files.push_back(path);
    }
    show(10);
    // Row d covers y 30 d + 5 to 30 d + 34; the last row drawn is the one that
    // holds the bottom line of the window.
    const int bottom = preview.viewport()->height() - 1;
    EXPECT_EQ(files.opened.size(), static_cast<std::size_t>((bottom - 5) / 30 + 1));
    EXPECT_EQ(files.opened.count("/d/" + std::to_string((bottom - 5) / 30 + 1) + ".plr"), 0u);
    files.opened.clear();
    preview.viewport()->repaint(QRect(0, 40, 100, 10));  // content y 40 to 49: row 1
    EXPECT_EQ(files.opened, (std::map<std::string, int>{{"/d/1.plr", 1}}));
    preview.viewport()->repaint(QRect(0, 34, 100, 2));  // y 34 and 35: rows 0 and 1
    EXPECT_EQ(files.opened, (std::map<std::string, int>{{"/d/0.plr", 1}, {"/d/1.plr", 2}}));

    // A file that changed since the last paint shows its new content.
    files.files["/d/1.plr"] = std::vector<std::uint8_t>(126, 0xFF);
    preview.viewport()->repaint(QRect(0, 40, 100, 10));
    EXPECT_EQ(grab().pixel(10 + 20, 35 + 8 + 5), kBlack);
    files.files["/d/1.plr"] = std::vector<std::uint8_t>(127, 0xFF);
    preview.viewport()->repaint(QRect(0, 40, 100, 10));
    EXPECT_NE(grab().pixel(10 + 20, 35 + 8 + 5), kBlack) << "a file that no longer reads gets no thumbnail";
}

TEST_F(PreviewTest, ATapAnywhereOnARowChoosesIt) {
    dialog.files = {"/d/0", "/d/1", "/d/2", "/d/3", "/d/4", "/d/5", "/d/6", "/d/7", "/d/8", "/d/9"};
    show(10);
    QWidget* window = preview.viewport();
    const auto tap = [&](int x, int y) {
        dialog.chosen.clear();
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(x, y));
        return dialog.chosen.empty() ? std::string("none") : dialog.chosen.front();
    };
    EXPECT_EQ(tap(0, 20), "/d/0");
    EXPECT_EQ(tap(4, 20), "/d/0");
    EXPECT_EQ(tap(85, 20), "/d/0");
    EXPECT_EQ(tap(86, 20), "/d/0");
    EXPECT_EQ(tap(150, 20), "/d/0") << "the names react too";
    EXPECT_EQ(tap(preview.viewport()->width() - 1, 64), "/d/1");
    EXPECT_EQ(tap(40, 2), "/d/0") << "the top margin belongs to the first row";
    EXPECT_EQ(tap(40, 34), "/d/0");
    EXPECT_EQ(tap(40, 35), "/d/1");
    dialog.chosen.clear();
    QTest::mouseClick(window, Qt::RightButton, {}, QPoint(40, 20));
    EXPECT_TRUE(dialog.chosen.empty()) << "only the left button chooses";

    preview.verticalScrollBar()->setValue(60);
    ASSERT_EQ(preview.scrollPosition(), 60);
    EXPECT_EQ(tap(10, 10), "/d/2");

    dialog.files.resize(3);
    preview.setContentHeight(100);
    preview.scrollToOrigin();
    EXPECT_EQ(tap(10, 94), "/d/2");
    EXPECT_EQ(tap(10, 95), "none") << "below the last row";
}

TEST_F(PreviewTest, TheArrowKeysMoveAHighlightAndEnterChooses) {
    for (int i = 0; i < 10; ++i) dialog.files.push_back("/d/" + std::to_string(i));
    show(10);
    // The keys, then the rows shown highlighted (seen between thumbnail and name).
    const auto keys = [&](std::initializer_list<Qt::Key> list) {
        for (Qt::Key key : list) QTest::keyClick(&preview, key);
        std::vector<int> rows;
        const QImage image = grab();
        for (int row = 0, y = 20 - preview.scrollPosition(); row < 10; ++row, y += 30)
            if (y >= 0 && y < image.height() &&
                image.pixel(87, y) == preview.palette().color(QPalette::Highlight).rgb())
                rows.push_back(row);
        return rows;
    };
    EXPECT_EQ(keys({Qt::Key_Return}), std::vector<int>{});
    EXPECT_TRUE(dialog.chosen.empty()) << "nothing is highlighted yet";
    EXPECT_EQ(keys({Qt::Key_Down}), std::vector<int>{0});
    EXPECT_EQ(keys({Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}), std::vector<int>{1});
    EXPECT_EQ(keys({Qt::Key_Up, Qt::Key_Up}), std::vector<int>{0}) << "it stops at the first row";
    EXPECT_EQ(keys({Qt::Key_End, Qt::Key_Down}), std::vector<int>{9});
    EXPECT_EQ(preview.scrollPosition(), 30 * 9 + 35 - preview.viewport()->height()) << "the last row shows whole";
    keys({Qt::Key_Home, Qt::Key_Down, Qt::Key_Enter});
    EXPECT_EQ(dialog.chosen, std::vector<std::string>{"/d/1"});
}

// Notes on which thread each picture is read.
class ThreadRecordingFiles : public MemoryFileSystem {
public:
    std::unique_ptr<InputFile> openForReading(const std::string& path) override {
        if (path.ends_with(".png")) {
            const std::lock_guard lock(mutex);
            readers.push_back(std::this_thread::get_id());
        }
        return MemoryFileSystem::openForReading(path);
    }
    std::mutex mutex;
    std::vector<std::thread::id> readers;
};

TEST(PreviewPicturesTest, PicturesAreReadOffTheGuiThreadAndABombGetsNoThumbnail) {
    ThreadRecordingFiles files;
    QImage black(144, 28, QImage::Format_RGB32);
    black.fill(Qt::black);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(black.save(&buffer, "PNG"));
    files.files["/d/black.png"] = std::vector<std::uint8_t>(png.begin(), png.end());
    // A compressed SVG of 32 MB under a picture's name, read by its content.
    std::string rects;
    while (rects.size() < (1 << 20)) rects += R"(<rect x="1" y="1" width="2" height="2"/>)";
    files.files["/d/bomb.png"] =
        testing::gzipped(R"(<svg xmlns="http://www.w3.org/2000/svg" width="72" height="28">)", rects, 32, "</svg>");
    FakeDialog dialog;
    dialog.files = {"/d/bomb.png", "/d/black.png"};
    CPreviewWnd preview(files);
    preview.setDialog(&dialog);
    preview.resize(240, 190);
    preview.setContentHeight(70);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    preview.viewport()->grab();
    ASSERT_TRUE(testing::waitUntil([&] { return !preview.pictureThumbnails().busy(); }));
    QTest::qWait(20);  // the last thumbnail's delivery
    const QImage shown = preview.viewport()->grab().toImage();
    EXPECT_NE(shown.pixelColor(45, 12), QColor(Qt::black)) << "the bomb has no thumbnail";
    EXPECT_EQ(shown.pixelColor(45, 30 + 12), QColor(Qt::black)) << "the picture beside it has its one";
    const std::lock_guard lock(files.mutex);
    EXPECT_EQ(files.readers.size(), 2u) << "each picture is read once";
    for (const std::thread::id reader : files.readers) EXPECT_NE(reader, std::this_thread::get_id());
}

}  // namespace
}  // namespace pelorin
