#include "resources/hicolor_icon.h"

#include <gtest/gtest.h>

#include "resources/app_icon.h"

namespace {

// Every icon-theme size comes from the drawing that divides it, each drawing
// pixel a solid block: nearest neighbour, no blended edges.
TEST(HicolorIconTest, EverySizeIsAnExactBlockScaleOfADrawing) {
    for (const int size : pelorin::kHicolorIconSizes) {
        const QImage icon = pelorin::hicolorIconImage(size);
        ASSERT_EQ(icon.size(), QSize(size, size)) << size;
        const int drawingSize = size % 32 == 0 ? 32 : 16;
        const QImage drawing = pelorin::appIconImage(drawingSize).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(drawing.size(), QSize(drawingSize, drawingSize));
        const int factor = size / drawingSize;
        int mismatches = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (icon.pixel(x, y) != drawing.pixel(x / factor, y / factor)) ++mismatches;
        EXPECT_EQ(mismatches, 0) << size;
    }
    EXPECT_EQ(pelorin::hicolorIconImage(16), pelorin::appIconImage(16).convertToFormat(QImage::Format_ARGB32));
    EXPECT_TRUE(pelorin::hicolorIconImage(24).isNull());
    EXPECT_TRUE(pelorin::hicolorIconImage(0).isNull());
}

}  // namespace
