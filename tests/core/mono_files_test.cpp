#include "formats/mono_files.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

using Octets = std::vector<std::uint8_t>;

Canvas pattern(int width, int height) {
    Canvas canvas(width, height);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) canvas.set(x, y, (x * 3 + y * 5) % 4 == 0 || x == width - 1);
    return canvas;
}

TEST(MonoFiles, WbmpAndOtbOfEdgeSizesToTheOctet) {
    // Width 1: one octet a row; WBMP keeps 1 for white, also in the padding.
    Canvas one(1, 2);
    one.set(0, 1, true);
    EXPECT_EQ(encodeMonoFile(MonoFileFormat::Wbmp, one), (Octets{0x00, 0x00, 0x01, 0x02, 0xFF, 0x7F}));
    EXPECT_EQ(encodeMonoFile(MonoFileFormat::Otb, one), (Octets{0x00, 0x01, 0x02, 0x01, 0x40}));

    // 13 wide: WBMP rows padded to two octets, OTB rows running on.
    Canvas thirteen(13, 2);
    thirteen.set(0, 0, true);
    thirteen.set(12, 1, true);
    EXPECT_EQ(encodeMonoFile(MonoFileFormat::Wbmp, thirteen), (Octets{0x00, 0x00, 0x0D, 0x02, 0x7F, 0xFF, 0xFF, 0xF7}));
    EXPECT_EQ(encodeMonoFile(MonoFileFormat::Otb, thirteen), (Octets{0x00, 0x0D, 0x02, 0x01, 0x80, 0x00, 0x00, 0x40}));

    // 255 and 128 take two octets of WBMP width; OTB stops at 255.
    const auto wide = encodeMonoFile(MonoFileFormat::Wbmp, Canvas(255, 1));
    ASSERT_TRUE(wide);
    EXPECT_EQ((Octets(wide->begin(), wide->begin() + 5)), (Octets{0x00, 0x00, 0x81, 0x7F, 0x01}));
    EXPECT_EQ(wide->size(), 5u + 32u);
    const auto w128 = encodeMonoFile(MonoFileFormat::Wbmp, Canvas(128, 1));
    EXPECT_EQ((Octets(w128->begin(), w128->begin() + 4)), (Octets{0x00, 0x00, 0x81, 0x00}));
    EXPECT_TRUE(encodeMonoFile(MonoFileFormat::Otb, Canvas(255, 255)));
    EXPECT_FALSE(encodeMonoFile(MonoFileFormat::Otb, Canvas(256, 1)));
}

TEST(MonoFiles, EverySizeReadsBackPixelForPixel) {
    for (MonoFileFormat format : {MonoFileFormat::Wbmp, MonoFileFormat::Otb}) {
        for (auto [w, h] : {std::pair{1, 1}, {13, 7}, {72, 14}, {78, 21}, {255, 3}}) {
            const Canvas canvas = pattern(w, h);
            const auto bytes = encodeMonoFile(format, canvas);
            ASSERT_TRUE(bytes);
            const MonoFileReading read = readMonoFile(format, *bytes);
            ASSERT_TRUE(read.picture) << read.why;
            EXPECT_EQ(*read.picture, canvas) << w << "x" << h;
        }
    }
}

TEST(MonoFiles, DamagedFilesAreRefusedWithWhy) {
    const std::vector<std::tuple<MonoFileFormat, Octets, std::string>> rows = {
        {MonoFileFormat::Wbmp, {}, "the WBMP header is cut short"},
        {MonoFileFormat::Wbmp, {0x01, 0x00, 0x01, 0x01, 0x00}, "WBMP type 1 is not a one-bit picture (type 0)"},
        {MonoFileFormat::Wbmp,
         {0x00, 0x80, 0x01, 0x01, 0x00},
         "the WBMP fixed header is not 0 (extension headers are not read)"},
        {MonoFileFormat::Wbmp, {0x00, 0x00, 0x81}, "the WBMP header is cut short"},
        {MonoFileFormat::Wbmp, {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, "the WBMP header is cut short"},
        {MonoFileFormat::Wbmp,
         {0x00, 0x00, 0x09, 0x02, 0x00, 0x00, 0x00},
         "a picture of 9 x 2 needs 4 octets of pixels, 3 follow"},
        {MonoFileFormat::Wbmp, {0x00, 0x00, 0xA0, 0x01, 0x01}, "a picture of 4097 x 1 is larger than 4096 x 4096"},
        {MonoFileFormat::Wbmp, {0x00, 0x00, 0x00, 0x05}, "a picture of 0 x 5 has no pixels"},
        {MonoFileFormat::Otb, {0x00, 0x08, 0x08}, "the OTB header is cut short"},
        {MonoFileFormat::Otb, {0x01, 0x08, 0x01, 0x01, 0x00}, "the OTB info field is not 00"},
        {MonoFileFormat::Otb, {0x00, 0x08, 0x01, 0x02, 0x00}, "the OTB depth is not 1"},
        {MonoFileFormat::Otb,
         {0x00, 0x0D, 0x02, 0x01, 0x00, 0x00, 0x00},
         "a picture of 13 x 2 needs 4 octets of pixels, 3 follow"},
    };
    for (const auto& [format, bytes, why] : rows) {
        const MonoFileReading read = readMonoFile(format, bytes);
        EXPECT_FALSE(read.picture);
        EXPECT_EQ(read.why, why);
    }
}

}  // namespace
}  // namespace pelorin
