#include <gtest/gtest.h>

#include "document/import_file.h"
#include "document_fakes.h"
#include "formats/bitmap_reader.h"
#include "formats/bitmap_writer.h"
#include "support/bmp_builder.h"

namespace pelorin {
namespace {

using testing::importFile;

using testing::BmpLayout;
using testing::buildBmp;
using testing::ImportCase;
using testing::MemoryDocument;

struct BitmapCase : ImportCase {
    ImportOutcome import(const std::vector<std::uint8_t>& bytes, const std::string& path = "/p/logo.bmp") {
        files.files[path] = bytes;
        return importFile(context, path);
    }
    void expectUnchanged() const {
        EXPECT_EQ(view.kind, LogoKind::Picture);
        EXPECT_TRUE(view.kindsSet.empty());
        expectCanvasesUnchanged({LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator});
    }
    void expectFailure(const std::vector<std::uint8_t>& bytes, const std::string& text) {
        messages.shown.clear();
        EXPECT_EQ(import(bytes), ImportOutcome::Failed);
        EXPECT_EQ(messages.shown, std::vector<std::string>{text});
        expectUnchanged();
    }
};

std::vector<std::pair<int, int>> setPixels(const Canvas& canvas) {
    std::vector<std::pair<int, int>> set;
    for (int x = 0; x < canvas.width(); ++x)
        for (int y = 0; y < canvas.height(); ++y)
            if (canvas.isSet(x, y)) set.emplace_back(x, y);
    return set;
}

using Pixels = std::vector<std::pair<int, int>>;

TEST(BitmapImportTest, IndexZeroOfTheBottomLeftPixelSetsOnlyThatPixel) {
    BitmapCase c;
    BmpLayout layout;
    layout.pixel = [](int x, int r) { return x == 0 && r == 0 ? 0u : 5u; };
    EXPECT_EQ(c.import(buildBmp(layout)), ImportOutcome::Imported);
    EXPECT_EQ(c.view.kind, LogoKind::Operator);
    EXPECT_EQ(setPixels(c.document.operatorCanvas), (Pixels{{0, 13}}));
    EXPECT_EQ(c.document.pictureCanvas, c.before.pictureCanvas);
    EXPECT_TRUE(c.messages.shown.empty());
    EXPECT_EQ(c.view.updates, 1);
}

TEST(BitmapImportTest, PictureAndLargeSizesFillTheirCanvasesFromBottomUpRows) {
    BitmapCase c;
    BmpLayout picture;
    picture.height = 28;
    picture.pixel = [](int x, int r) { return (x == 5 && r == 0) || (x == 71 && r == 27) ? 0u : 1u; };
    EXPECT_EQ(c.import(buildBmp(picture)), ImportOutcome::Imported);
    EXPECT_EQ(c.view.kind, LogoKind::Picture);
    EXPECT_EQ(setPixels(c.document.pictureCanvas), (Pixels{{5, 27}, {71, 0}}));

    // 78 wide: stored rows of 80 bytes; the two padding bytes are 0, which
    // would be set pixels if they were taken for image bytes.
    BmpLayout large;
    large.width = 78;
    large.height = 21;
    large.pixel = [](int x, int r) { return (x == 77 && r == 0) || (x == 0 && r == 20) ? 0u : 9u; };
    const auto bytes = buildBmp(large);
    ASSERT_EQ(bytes.size(), 1078u + 80u * 21u);
    EXPECT_EQ(c.import(bytes), ImportOutcome::Imported);
    EXPECT_EQ(c.view.kind, LogoKind::LargeOperator);
    EXPECT_EQ(setPixels(c.document.largeOperatorCanvas), (Pixels{{0, 0}, {77, 20}}));
    EXPECT_EQ(c.document.operatorCanvas, c.before.operatorCanvas);
}

TEST(BitmapImportTest, ColoursAreNotConsultedOnlyIndexZeroIsSet) {
    BitmapCase c;
    BmpLayout layout;
    layout.entry0[0] = layout.entry0[1] = layout.entry0[2] = 0xFF;  // index 0 is white
    layout.pixel = [](int x, int) { return x < 2 ? 0u : 1u; };
    EXPECT_EQ(c.import(buildBmp(layout)), ImportOutcome::Imported);
    EXPECT_EQ(setPixels(c.document.operatorCanvas).size(), 28u);
    EXPECT_TRUE(c.document.operatorCanvas.isSet(1, 7));
}

TEST(BitmapImportTest, LowDepthsFollowTheSameRule) {
    for (int depth : {1, 2, 4}) {
        SCOPED_TRACE(depth);
        BitmapCase c;
        BmpLayout layout;
        layout.bitsPerPixel = depth;
        layout.colourEntries = 1 << depth;
        // Index 0 on a diagonal pattern, other indexes elsewhere.
        layout.pixel = [depth](int x, int r) {
            return (x + r) % 3 == 0 ? 0u : static_cast<unsigned>((1 << depth) - 1);
        };
        EXPECT_EQ(c.import(buildBmp(layout)), ImportOutcome::Imported);
        for (int x = 0; x < 72; ++x)
            for (int y = 0; y < 14; ++y)
                ASSERT_EQ(c.document.operatorCanvas.isSet(x, y), (x + 13 - y) % 3 == 0) << x << "," << y;

        layout.width = 78;
        layout.height = 21;
        EXPECT_EQ(c.import(buildBmp(layout)), ImportOutcome::Imported);
        for (int x = 0; x < 78; ++x)
            for (int y = 0; y < 21; ++y)
                ASSERT_EQ(c.document.largeOperatorCanvas.isSet(x, y), (x + 20 - y) % 3 == 0) << x << "," << y;
    }
}

TEST(BitmapImportTest, SeventyTwoWideOfAnotherHeightOnlySelectsTheOperatorLogo) {
    for (int height : {20, -14, -28, 1, 15}) {
        SCOPED_TRACE(height);
        BitmapCase c;
        BmpLayout layout;
        layout.height = height;
        layout.pixel = [](int, int) { return 0u; };
        EXPECT_EQ(c.import(buildBmp(layout)), ImportOutcome::KindChangedOnly);
        EXPECT_EQ(c.view.kind, LogoKind::Operator);
        EXPECT_TRUE(c.messages.shown.empty());
        EXPECT_EQ(c.document.operatorCanvas, c.before.operatorCanvas);
        EXPECT_EQ(c.document.pictureCanvas, c.before.pictureCanvas);
        EXPECT_EQ(c.view.updates, 1);
    }
}

TEST(BitmapImportTest, WrongTypeHeaderOrDepthIsReported) {
    BitmapCase c;
    c.expectFailure(testing::bytesOf("just some text\n"), "Error:Unexpected file type, not a DIB");
    c.expectFailure(testing::bytesOf("B"), "Error:Unexpected file type, not a DIB");
    c.expectFailure({}, "Error:Unexpected file type, not a DIB");
    for (std::uint32_t headerSize : {12u, 64u, 108u, 124u, 0u}) {
        auto bytes = buildBmp({});
        testing::put32At(bytes, 14, headerSize);
        c.expectFailure(bytes, "Error:OS2 PM BMP Format not supported");
    }
    for (int depth : {16, 24, 32}) {
        BmpLayout layout;
        layout.bitsPerPixel = depth;
        layout.colourEntries = 0;
        c.expectFailure(buildBmp(layout), "Unsupported bitmap format");
    }
    for (auto [w, h] : {std::pair{78, -21}, {78, 14}, {71, 14}, {16, 16}}) {
        BmpLayout layout;
        layout.width = w;
        layout.height = h;
        c.expectFailure(buildBmp(layout), "Unsupported bitmap format");
    }
}

TEST(BitmapImportTest, MalformedFilesAreRefusedWithoutReadingOutsideThem) {
    BitmapCase c;
    const auto good = buildBmp({});  // 72 x 14, offset 1078, 1008 pixel bytes
    const auto with32 = [&](std::size_t at, std::uint32_t value) {
        auto bytes = good;
        testing::put32At(bytes, at, value);
        return bytes;
    };
    const std::string unsupported = "Unsupported bitmap format";
    c.expectFailure(with32(30, 1), unsupported);           // run-length compressed
    c.expectFailure(with32(30, 3), unsupported);           // bit fields
    c.expectFailure(with32(2, 1078), unsupported);         // file size equal to the offset
    c.expectFailure(with32(2, 100), unsupported);          // file size below the offset
    c.expectFailure(with32(2, 0), unsupported);            // file size left zero
    c.expectFailure(with32(2, 2087), unsupported);         // file size beyond the end
    c.expectFailure(with32(10, 0xFFFFFF00), unsupported);  // offset beyond the end
    c.expectFailure(with32(2, 1078 + 1007), unsupported);  // one pixel byte short of 14 rows
    c.expectFailure(with32(18, 0x7FFFFFFF), unsupported);  // absurd width
    c.expectFailure(with32(22, 0x80000000), unsupported);  // absurd top-down height
    c.expectFailure(with32(18, 0xFFFFFFB8), unsupported);  // width -72
    auto cut = good;
    cut.resize(2000);  // the file ends inside the pixel data
    c.expectFailure(cut, unsupported);
    cut.resize(40);  // inside the information header
    c.expectFailure(cut, unsupported);
    cut.resize(16);  // its size field is there, and says 40
    c.expectFailure(cut, unsupported);

    // Pixel data far beyond any logo are not read into memory.
    BmpLayout huge;
    huge.width = 1200;
    huge.height = 1000;
    c.expectFailure(buildBmp(huge), unsupported);

    // A file that is well-formed but holds more than it needs is fine.
    auto longer = good;
    longer.resize(longer.size() + 500, 0);
    testing::put32At(longer, 2, static_cast<std::uint32_t>(longer.size()));
    EXPECT_EQ(c.import(longer), ImportOutcome::Imported);
}

TEST(BitmapReaderTest, ImageIsTheFileDrawnOneToOneWithThePreparedColourTable) {
    MemoryDocument d;
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.entry0[0] = 0x10, layout.entry0[1] = 0x20, layout.entry0[2] = 0x30;  // blue, green, red
    layout.pixel = [](int x, int r) { return x == 0 && r == 0 ? 0u : 7u; };
    d.files.files["s.bmp"] = buildBmp(layout);
    BitmapReader reader;
    ASSERT_TRUE(reader.load(d.files, d.messages, "s.bmp"));
    EXPECT_EQ(reader.info().size(), 1064u);
    EXPECT_EQ(reader.bitsSize(), 8u);
    for (std::size_t i = 44; i < 1064; ++i) ASSERT_EQ(reader.info()[i], 0xDC) << i;
    const BitmapImage image = reader.image();
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    // Stored row 0 is the bottom row: its first pixel is the last one drawn.
    const std::vector<std::uint8_t> expected = {0xDC, 0xDC, 0xDC, 0xDC, 0xDC, 0xDC, 0xDC, 0xDC, 0xDC,
                                                0x30, 0x20, 0x10, 0xDC, 0xDC, 0xDC, 0xDC, 0xDC, 0xDC};
    EXPECT_EQ(image.rgb, expected);

    // Top-down 24-bit: own colours, first stored row on top.
    layout.height = -2;
    layout.bitsPerPixel = 24;
    layout.colourEntries = 0;
    layout.pixel = [](int x, int r) { return static_cast<unsigned>(0x40 * r + x); };
    d.files.files["t.bmp"] = buildBmp(layout);
    ASSERT_TRUE(reader.load(d.files, d.messages, "t.bmp"));
    EXPECT_EQ(reader.image().rgb, (std::vector<std::uint8_t>{0, 0, 0, 1, 1, 1, 2, 2, 2,  //
                                                             0x40, 0x40, 0x40, 0x41, 0x41, 0x41, 0x42, 0x42, 0x42}));

    // A failed load leaves nothing behind.
    d.files.files["bad.bmp"] = testing::bytesOf("BMxx");
    EXPECT_FALSE(reader.load(d.files, d.messages, "bad.bmp"));
    EXPECT_FALSE(reader.loaded());
    EXPECT_TRUE(reader.image().rgb.empty());
}

TEST(BitmapWriterTest, EveryCanvasReadsBackToTheSamePixels) {
    for (LogoKind kind : {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator}) {
        SCOPED_TRACE(static_cast<int>(kind));
        BitmapCase c;
        const Canvas& source = c.before.canvas(kind);
        const auto bytes = encodeBitmap(source);
        const std::size_t stride = (static_cast<std::size_t>(source.width()) + 3) / 4 * 4;
        EXPECT_EQ(bytes.size(), 1078 + stride * static_cast<std::size_t>(source.height()));
        c.document.canvas(kind).clear();
        c.view.kind = kind == LogoKind::Picture ? LogoKind::Operator : LogoKind::Picture;
        EXPECT_EQ(c.import(bytes, "/out/x.bmp"), ImportOutcome::Imported);
        EXPECT_EQ(c.view.kind, kind);
        EXPECT_EQ(c.document.canvas(kind), source);
    }
}

}  // namespace
}  // namespace pelorin
