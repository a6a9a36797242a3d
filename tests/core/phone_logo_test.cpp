#include "formats/phone_logo.h"

#include <gtest/gtest.h>

#include <cstring>

#include "document/import_file.h"
#include "document_fakes.h"

namespace pelorin {
namespace {

using testing::importFile;

using testing::ImportCase;
using testing::MemoryDocument;
using Pixels = std::vector<std::pair<int, int>>;

Pixels setPixels(const Canvas& canvas) {
    Pixels set;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.isSet(x, y)) set.emplace_back(x, y);
    return set;
}

std::vector<std::uint8_t> characterFile(std::size_t header, const std::string& pixels) {
    std::vector<std::uint8_t> bytes(header, 0xEE);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}

struct PhoneLogoCase : ImportCase {
    ImportOutcome import(const std::string& path, const std::vector<std::uint8_t>& bytes) {
        files.files[path] = bytes;
        const auto outcome = importFile(context, path);
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(view.kind, LogoKind::Operator);
        expectCanvasesUnchanged({LogoKind::Picture, LogoKind::LargeOperator});
        return outcome;
    }
};

TEST(PhoneLogoTest, CharacterAndPackedPixelsLandWhereTheyBelong) {
    PhoneLogoCase c;
    EXPECT_EQ(c.import("a.ngg", characterFile(16, "1" + std::string(1007, '0'))), ImportOutcome::Imported);
    EXPECT_EQ(setPixels(c.document.operatorCanvas), (Pixels{{0, 0}}));

    std::string pixels(1008, '0');
    pixels[72] = '1';
    pixels[1007] = '1';
    EXPECT_EQ(c.import("B.NOL", characterFile(20, pixels)), ImportOutcome::Imported);
    EXPECT_EQ(setPixels(c.document.operatorCanvas), (Pixels{{0, 1}, {71, 13}}));

    std::vector<std::uint8_t> nlm(136, 0);
    nlm[10 + 9] = 0x80;
    nlm[10 + 125] = 0x01;
    EXPECT_EQ(c.import("c.Nlm", nlm), ImportOutcome::Imported);
    EXPECT_EQ(setPixels(c.document.operatorCanvas), (Pixels{{0, 1}, {71, 13}}));
    EXPECT_EQ(c.view.updates, 3);
}

TEST(PhoneLogoTest, OnlyTheCharacterOneIsSetAndLineBreaksTakeAPixel) {
    PhoneLogoCase c;
    // Two full rows of "1" with a line break after each: the break is pixel
    // (72 % 72 = 0, 1), so the second row is read shifted by one.
    std::string pixels = std::string(72, '1') + "\n" + std::string(72, '1') + "\n";
    pixels += std::string(1008 - pixels.size(), '2');
    pixels[500] = 'X';
    EXPECT_EQ(c.import("rows.ngg", characterFile(16, pixels)), ImportOutcome::Imported);
    Pixels expected;
    for (int x = 0; x < 72; ++x) expected.emplace_back(x, 0);
    for (int x = 1; x < 72; ++x) expected.emplace_back(x, 1);
    expected.emplace_back(0, 2);
    EXPECT_EQ(setPixels(c.document.operatorCanvas), expected);
}

TEST(PhoneLogoTest, ShortFilesLeaveTheMissingPixelsClear) {
    PhoneLogoCase c;
    EXPECT_EQ(c.import("short.ngg", characterFile(16, std::string(100, '1'))), ImportOutcome::Imported);
    Pixels expected;
    for (int i = 0; i < 100; ++i) expected.emplace_back(i % 72, i / 72);
    EXPECT_EQ(setPixels(c.document.operatorCanvas), expected);

    for (std::size_t length : {0u, 5u, 19u, 20u}) {
        c.document.operatorCanvas = c.before.operatorCanvas;
        EXPECT_EQ(c.import("h.nol", std::vector<std::uint8_t>(length, '1')), ImportOutcome::Imported);
        EXPECT_TRUE(setPixels(c.document.operatorCanvas).empty()) << length;
    }

    std::vector<std::uint8_t> nlm(10 + 9, 0);
    nlm.push_back(0xC0);  // only the first byte of row 1
    EXPECT_EQ(c.import("short.nlm", nlm), ImportOutcome::Imported);
    EXPECT_EQ(setPixels(c.document.operatorCanvas), (Pixels{{0, 1}, {1, 1}}));

    // Anything after the pixel data is ignored.
    auto longer = characterFile(16, std::string(1008, '0') + std::string(5000, '1'));
    EXPECT_EQ(c.import("long.ngg", longer), ImportOutcome::Imported);
    EXPECT_TRUE(setPixels(c.document.operatorCanvas).empty());
}

TEST(PhoneLogoTest, WrittenFilesCarryTheirSizeAndReadBackToTheSamePixels) {
    MemoryDocument source;
    source.scribble();
    const Canvas& logo = source.document.operatorCanvas;
    const struct {
        PhoneLogoFormat format;
        const char* path;
        std::size_t size;
        const char* signature;
    } cases[] = {{PhoneLogoFormat::Ngg, "w.ngg", 1024, "NGG"},
                 {PhoneLogoFormat::Nol, "w.nol", 1028, "NOL"},
                 {PhoneLogoFormat::Nlm, "w.nlm", 136, "NLM "}};
    for (const auto& w : cases) {
        SCOPED_TRACE(w.path);
        const auto bytes = encodePhoneLogo(w.format, logo);
        EXPECT_EQ(bytes.size(), w.size);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::strlen(w.signature))),
                  w.signature);
        const auto size = phoneLogoDeclaredSize(w.format, bytes);
        ASSERT_TRUE(size);
        EXPECT_EQ(size->width, 72);
        EXPECT_EQ(size->height, 14);
        PhoneLogoCase c;
        EXPECT_EQ(c.import(w.path, bytes), ImportOutcome::Imported);
        EXPECT_EQ(c.document.operatorCanvas, logo);
    }
}

}  // namespace
}  // namespace pelorin
