#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>

#include "cli_pictures_fixture.h"
#include "document/canvas.h"
#include "document/packed.h"
#include "support/compressed.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

using testing::ProcessResult;

class PictureCommandsTest : public testing::CliPicturesFixture {
protected:
    PictureCommandsTest() : CliPicturesFixture("pelorin-cli-pictures") {}
};

// A 72 x 14 pattern of set and clear cells, as show prints it.
bool patternCell(int x, int y) { return (x * 7 + y * 3) % 5 < 2; }
std::string patternRows() {
    std::string rows;
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 72; ++x) rows += patternCell(x, y) ? '#' : '.';
        rows += '\n';
    }
    return rows;
}

TEST_F(PictureCommandsTest, CleanPictureComesOutExactAtOneToOneAndTwoToOne) {
    for (int factor : {1, 2}) {
        QImage image(72 * factor, 14 * factor, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, patternCell(x / factor, y / factor) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        // Transparent pixels count as white.
        QImage withAlpha = image.convertToFormat(QImage::Format_ARGB32);
        for (int x = 0; x < withAlpha.width(); ++x)
            if (!patternCell(x / factor, 0)) withAlpha.setPixel(x, 0, qRgba(0, 0, 0, 0));
        const std::string in = path("clean" + std::to_string(factor) + ".png");
        ASSERT_TRUE(withAlpha.save(QString::fromStdString(in)));
        const ProcessResult r = run({"convert", in, path("out.plr")});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_EQ(run({"show", path("out.plr")}).out, "operator 72x14\n" + patternRows()) << factor;
    }
}

TEST_F(PictureCommandsTest, BadPicturesAndOptionsGiveOneLineAndWriteNothing) {
    QImage photo(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) photo.setPixel(x, y, qRgb(x % 256, y, (x * y) % 256));
    ASSERT_TRUE(photo.save(QString::fromStdString(path("photo.png"))));
    ASSERT_TRUE(photo.save(QString::fromStdString(path("photo.jpg"))));
    const auto bytesOf = [&](const std::string& name) {
        std::ifstream file(path(name), std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
    };
    std::vector<std::uint8_t> png = bytesOf("photo.png");
    png.resize(png.size() / 2);
    testing::writeFileBytes(path("truncated.png"), png);
    std::vector<std::uint8_t> jpeg = bytesOf("photo.jpg");
    for (std::size_t i = jpeg.size() / 3; i < jpeg.size() / 3 + 400; ++i) jpeg[i] = 0x55;
    testing::writeFileBytes(path("corrupt.jpg"), jpeg);
    testing::writeFileBytes(path("huge.png"), testing::hugePngStart());
    // An 8 x 4 GIF cut in the middle of its picture's data.
    testing::writeFileBytes(
        path("cut.gif"),
        {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x08, 0x00, 0x04, 0x00, 0xf1, 0x03, 0x00, 0x00, 0x00, 0x00, 0x55,
         0x55, 0x55, 0xaa, 0xaa, 0xaa, 0xff, 0xff, 0xff, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c,
         0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x04, 0x00, 0x00, 0x02, 0x0a, 0x9c, 0x6f, 0xa2, 0xab, 0xe1});
    testing::writeFileBytes(path("text.png"), {'h', 'e', 'l', 'l', 'o', '\n'});
    testing::writeFileBytes(path("logo.plr"), std::vector<std::uint8_t>(126, 0));

    struct Case {
        std::vector<std::string> args;
        int status;
        std::string said;
    };
    const Case cases[] = {
        {{"convert", path("truncated.png"), path("out.plr")}, 1, "damaged or incomplete"},
        {{"convert", path("corrupt.jpg"), path("out.plr")}, 1, "damaged or incomplete"},
        {{"convert", path("cut.gif"), path("out.plr")}, 1, "damaged or incomplete"},
        {{"convert", path("huge.png"), path("out.plr")}, 1, "20000 x 20000"},
        {{"convert", path("text.png"), path("out.plr")}, 1, "not a picture"},
        {{"convert", path("missing.png"), path("out.plr")}, 1, "Failed to open file"},
        {{"convert", path("photo.png"), path("out.plr"), "--threshold", "256"}, 2, "--threshold"},
        {{"convert", path("photo.png"), path("out.plr"), "--dither", "random"}, 2, "--dither"},
        {{"convert", path("photo.png"), path("out.png"), "--scale", "17"}, 2, "--scale"},
        {{"convert", path("photo.png"), path("out.plr"), "--scale", "2"}, 2, "--scale"},
        {{"convert", path("logo.plr"), path("out.plr"), "--invert"}, 2, "logo file"},
        {{"text", "Hi", path("out.plr"), "--font", "9x9"}, 2, "--font"},
        {{"text", "Hi", path("out.plr"), "--dither", "none"}, 2, "unknown option"},
    };
    for (const auto& c : cases) {
        const ProcessResult r = run(c.args);
        EXPECT_EQ(r.exitStatus, c.status) << c.args[1];
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(std::filesystem::exists(path("out.plr")));
        EXPECT_FALSE(std::filesystem::exists(path("out.png")));
    }
    // The same photo converts once the options are right.
    EXPECT_EQ(run({"convert", path("photo.jpg"), path("out.plr"), "--dither", "atkinson", "--fit", "cover"}).exitStatus,
              0);
}

TEST_F(PictureCommandsTest, TextIsCentredInThePixelFont) {
    ASSERT_EQ(run({"text", "I", path("i.plr"), "--font", "3x5"}).exitStatus, 0);
    std::string expected;
    for (int y = 0; y < 14; ++y) {
        std::string row(72, '.');
        if (y == 4 || y == 8)
            row.replace(34, 3, "###");
        else if (y > 4 && y < 8)
            row[35] = '#';
        expected += row + '\n';
    }
    EXPECT_EQ(rowsShown(path("i.plr")), expected);
    ASSERT_EQ(run({"text", "Pelorin", path("p.plr"), "--kind", "large-operator"}).exitStatus, 0);
    EXPECT_EQ(run({"show", path("p.plr")}).out.substr(0, 22), "large-operator 78x21\n.");
}

TEST_F(PictureCommandsTest, LogosGoOutAsScaledPicturesAndBitmapsComeBackAsLogos) {
    ASSERT_EQ(run({"text", "Ab", path("ab.plr"), "--kind", "picture"}).exitStatus, 0);
    ASSERT_EQ(run({"convert", path("ab.plr"), path("ab.png"), "--scale", "3"}).exitStatus, 0);
    const QImage png(QString::fromStdString(path("ab.png")));
    ASSERT_EQ(png.size(), QSize(216, 84));
    const std::string rows = rowsShown(path("ab.plr"));
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 72; ++x)
            for (int dy = 0; dy < 3; ++dy)
                ASSERT_EQ(png.pixel(3 * x + 2, 3 * y + dy),
                          rows[y * 73 + x] == '#' ? qRgb(0, 0, 0) : qRgb(255, 255, 255))
                    << x << "," << y;
    // At scale 1 a bitmap of the canvas size is a logo bitmap again.
    ASSERT_EQ(run({"convert", path("ab.plr"), path("ab.bmp"), "--scale", "1"}).exitStatus, 0);
    EXPECT_EQ(rowsShown(path("ab.bmp")), rows);
}

}  // namespace
}  // namespace pelorin
