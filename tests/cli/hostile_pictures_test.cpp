// Pictures made to hurt: compressed SVG that unpacks to far more than it
// holds, SVG that names other files, SVG text (Qt's fonts), and the 1-bit
// bitmap other programs take.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <filesystem>

#include "cli_pictures_fixture.h"
#include "support/compressed.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

using testing::gzipped;
using testing::ProcessResult;

class HostilePicturesTest : public testing::CliPicturesFixture {
protected:
    HostilePicturesTest() : CliPicturesFixture("pelorin-cli-hostile") {}
    void writeText(const std::string& name, const std::string& text) const {
        testing::writeFileBytes(path(name), std::vector<std::uint8_t>(text.begin(), text.end()));
    }
};

const std::string kSvgHead =
    R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="72" height="14">)";
const std::string kLeftHalf = R"(<rect x="0" y="0" width="36" height="14" fill="black"/>)";

// The rows of a 72 x 14 logo whose left half is set.
std::string leftHalfRows() {
    std::string rows;
    for (int y = 0; y < 14; ++y) rows += std::string(36, '#') + std::string(36, '.') + '\n';
    return rows;
}

TEST_F(HostilePicturesTest, CompressedSvgUnpacksOnlyUpToItsLimitUnderAnyName) {
    // 1 MB of rectangles, 32 times over: 32 MB inside a file of a few hundred kilobytes.
    std::string rects;
    while (rects.size() < (1 << 20)) rects += R"(<rect x="1" y="1" width="2" height="2"/>)";
    const auto bomb = gzipped(kSvgHead, rects, 32, "</svg>");
    ASSERT_LT(bomb.size(), 2'000'000u);
    testing::writeFileBytes(path("bomb.png"), bomb);
    const ProcessResult refused = run({"convert", path("bomb.png"), path("out.plr")});
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_EQ(
        refused.err,
        "pelorin-cli convert: " + path("bomb.png") +
            ": the compressed picture unpacks to more than 8 MB; SVG pictures of at most that size can be read\n");
    EXPECT_FALSE(std::filesystem::exists(path("out.plr")));

    // A compressed SVG of a sane size still reads, and a damaged one is damage.
    auto logo = gzipped(kSvgHead, kLeftHalf, 1, "</svg>");
    testing::writeFileBytes(path("logo.svgz"), logo);
    ASSERT_EQ(run({"convert", path("logo.svgz"), path("logo.plr")}).exitStatus, 0);
    EXPECT_EQ(rowsShown(path("logo.plr")), leftHalfRows());
    logo.resize(logo.size() - 12);
    testing::writeFileBytes(path("cut.svgz"), logo);
    const ProcessResult cut = run({"convert", path("cut.svgz"), path("out.plr")});
    EXPECT_EQ(cut.exitStatus, 1);
    EXPECT_NE(cut.err.find("damaged or incomplete"), std::string::npos) << cut.err;
}

TEST_F(HostilePicturesTest, SvgThatNamesAnotherFileIsRefusedAndEmbeddedPicturesStillDraw) {
    QImage black(8, 8, QImage::Format_RGB32);
    black.fill(Qt::black);
    ASSERT_TRUE(black.save(QString::fromStdString(path("private.png"))));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(black.save(&buffer, "PNG"));
    const std::string embeddedPng = "data:image/png;base64," + png.toBase64().toStdString();
    const auto svgInside = gzipped(kSvgHead, kLeftHalf, 1, "</svg>");
    const std::string embeddedSvgz =
        "data:image/svg+xml;base64," +
        QByteArray(reinterpret_cast<const char*>(svgInside.data()), static_cast<qsizetype>(svgInside.size()))
            .toBase64()
            .toStdString();
    const std::string image = R"(<image x="0" y="0" width="36" height="14" xlink:href=")";
    const std::string privatePng = path("private.png");

    struct Case {
        std::string name;
        std::string svg;
        std::string said;  // empty: converts to the left half set
    };
    const Case cases[] = {
        {"absolute", kSvgHead + image + privatePng + R"("/></svg>)", "another file or address (an image)"},
        {"stdin", kSvgHead + R"(<image width="36" height="14" href="/dev/stdin"/></svg>)", "(an image)"},
        {"entity", "<!DOCTYPE svg [<!ENTITY where \"" + privatePng + "\">]>" + kSvgHead + image + "&where;\"/></svg>",
         "(an image)"},
        {"style sheet", "<?xml-stylesheet type=\"text/css\" href=\"/dev/stdin\"?>" + kSvgHead + kLeftHalf + "</svg>",
         "(a style sheet)"},
        {"linked use", kSvgHead + R"(<use xlink:href="other.svg#logo"/></svg>)", "(a link)"},
        {"svg inside", kSvgHead + image + embeddedSvgz + R"("/></svg>)", "compressed picture inside it"},
        {"embedded png", kSvgHead + image + embeddedPng + R"("/></svg>)", ""},
        {"internal use",
         kSvgHead + R"(<defs>)" + R"(<rect id="r" width="36" height="14"/></defs><use xlink:href="#r"/></svg>)", ""},
    };
    for (const Case& c : cases) {
        writeText("in.svg", c.svg);
        std::filesystem::remove(path("out.plr"));
        const ProcessResult r = run({"convert", path("in.svg"), path("out.plr")});
        if (c.said.empty()) {
            EXPECT_EQ(r.exitStatus, 0) << c.name << ": " << r.err;
            EXPECT_EQ(rowsShown(path("out.plr")), leftHalfRows()) << c.name;
            continue;
        }
        EXPECT_EQ(r.exitStatus, 1) << c.name;
        EXPECT_NE(r.err.find(": the SVG picture is not read, as "), std::string::npos) << c.name << ": " << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << c.name << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(std::filesystem::exists(path("out.plr"))) << c.name;
    }
}

TEST_F(HostilePicturesTest, SvgTextIsDrawnWithTheInstalledFonts) {
    writeText("text.svg",
              kSvgHead + R"(<text x="0" y="13" font-family="DejaVu Sans" font-size="16">WWWW</text></svg>)");
    const ProcessResult r = run({"convert", path("text.svg"), path("text.plr"), "--threshold", "128"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    const std::string rows = rowsShown(path("text.plr"));
    EXPECT_GT(std::count(rows.begin(), rows.end(), '#'), 60) << rows;
    // The text stays in the left part, where four letters of 16 pixels reach.
    for (std::size_t row = 0; row < 14; ++row) EXPECT_EQ(rows.substr(row * 73 + 64, 8), std::string(8, '.')) << rows;
}

TEST_F(HostilePicturesTest, DepthOneWritesAOneBitBitmapThatReadsBackAsTheLogo) {
    ASSERT_EQ(run({"text", "Ab\n1-bit", path("ab.plr"), "--kind", "picture"}).exitStatus, 0);
    const std::string rows = rowsShown(path("ab.plr"));
    ASSERT_EQ(run({"convert", path("ab.plr"), path("ab.bmp"), "--depth", "1"}).exitStatus, 0);
    const auto bmp = testing::readFileBytes(path("ab.bmp"));
    // 54 octets of headers, two colours, 28 rows of 72 bits padded to 12 octets.
    ASSERT_EQ(bmp.size(), 54u + 8u + 28u * 12u);
    EXPECT_EQ(bmp[28], 1);  // bits a pixel
    EXPECT_EQ(rowsShown(path("ab.bmp")), rows);

    for (const auto& bad :
         std::vector<std::vector<std::string>>{{"convert", path("ab.plr"), path("ab.png"), "--depth", "1"},
                                               {"convert", path("ab.plr"), path("x.bmp"), "--depth", "4"},
                                               {"text", "A", path("ab.nlm"), "--depth", "1"}}) {
        const ProcessResult r = run(bad);
        EXPECT_EQ(r.exitStatus, 2) << bad[2];
        EXPECT_NE(r.err.find("--depth"), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace pelorin
