#include "document/packed.h"

#include <gtest/gtest.h>

#include "document/document.h"

namespace pelorin {
namespace {

std::vector<std::uint8_t> packedWithOnly(LogoKind kind, int x, int y) {
    Canvas canvas(sizeOf(kind));
    canvas.set(x, y, true);
    return packCanvas(canvas);
}

void expectOnlyByte(const std::vector<std::uint8_t>& bytes, std::size_t index, std::uint8_t value) {
    for (std::size_t i = 0; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], i == index ? value : 0) << "byte " << i;
}

TEST(CanvasTest, SizesAndLinearIndexRunDownColumns) {
    EXPECT_EQ(sizeOf(LogoKind::Operator).packedBytes(), 126u);
    EXPECT_EQ(sizeOf(LogoKind::Picture).packedBytes(), 252u);
    EXPECT_EQ(sizeOf(LogoKind::LargeOperator).packedBytes(), 205u);

    CPelorinDoc doc;
    EXPECT_EQ(doc.operatorCanvas.values().size(), 1008u);
    EXPECT_EQ(doc.pictureCanvas.values().size(), 2016u);
    EXPECT_EQ(doc.largeOperatorCanvas.values().size(), 1638u);

    doc.operatorCanvas.set(71, 13, true);
    doc.pictureCanvas.set(71, 27, true);
    doc.largeOperatorCanvas.set(77, 20, true);
    doc.operatorCanvas.set(1, 0, true);
    EXPECT_EQ(doc.operatorCanvas.values()[1007], 1);
    EXPECT_EQ(doc.pictureCanvas.values()[2015], 1);
    EXPECT_EQ(doc.largeOperatorCanvas.values()[1637], 1);
    EXPECT_EQ(doc.operatorCanvas.values()[14], 1);  // (1, 0) is x * 14 + y
}

TEST(PackedFormTest, OperatorRowsAreNineBytes) {
    expectOnlyByte(packedWithOnly(LogoKind::Operator, 8, 0), 1, 0x80);
    expectOnlyByte(packedWithOnly(LogoKind::Operator, 0, 1), 9, 0x80);
    expectOnlyByte(packedWithOnly(LogoKind::Operator, 71, 13), 125, 0x01);
    expectOnlyByte(packedWithOnly(LogoKind::Picture, 71, 27), 251, 0x01);
}

TEST(PackedFormTest, LargeCanvasRowsRunOnMidByte) {
    expectOnlyByte(packedWithOnly(LogoKind::LargeOperator, 77, 20), 204, 0x04);
    expectOnlyByte(packedWithOnly(LogoKind::LargeOperator, 0, 1), 9, 0x02);
    expectOnlyByte(packedWithOnly(LogoKind::LargeOperator, 77, 0), 9, 0x04);
    expectOnlyByte(packedWithOnly(LogoKind::LargeOperator, 0, 0), 0, 0x80);
}

TEST(PackedFormTest, NonZeroValuesCountAsSet) {
    Canvas canvas(sizeOf(LogoKind::Operator));
    canvas.at(3, 0) = -7;
    canvas.at(4, 0) = 2;
    expectOnlyByte(packCanvas(canvas), 0, 0x18);
}

TEST(PackedFormTest, UnpackRestoresEveryKindAndClearsFirst) {
    for (LogoKind kind : {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator}) {
        Canvas original(sizeOf(kind));
        for (int x = 0; x < original.width(); ++x)
            for (int y = 0; y < original.height(); ++y) original.set(x, y, (x * 7 + y * 3) % 5 == 0);
        Canvas restored(sizeOf(kind));
        for (auto& v : restored.values()) v = 1;
        unpackCanvas(restored, packCanvas(original));
        EXPECT_EQ(restored, original);
    }
}

TEST(PackedFormTest, UnpackOfShortDataLeavesTheRestClear) {
    Canvas canvas(sizeOf(LogoKind::Operator));
    for (auto& v : canvas.values()) v = 1;
    const std::vector<std::uint8_t> oneRow(9, 0xFF);
    unpackCanvas(canvas, oneRow);
    for (int x = 0; x < 72; ++x) {
        EXPECT_TRUE(canvas.isSet(x, 0));
        EXPECT_FALSE(canvas.isSet(x, 1));
    }
}

}  // namespace
}  // namespace pelorin
