#include "imaging/pixel_font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pattern.h"

namespace pelorin {
namespace {

using testing::patternOf;

Canvas rendered(const PixelFont& font, std::u32string_view text) {
    const TextExtent extent = measureText(font, text);
    Canvas canvas(extent.width, extent.height);
    drawText(canvas, 0, 0, font, text);
    return canvas;
}

TEST(PixelFonts, CoverPrintableLatin1WithWellFormedGlyphs) {
    ASSERT_EQ(pixelFonts().size(), 3u);
    const int widths[] = {3, 5, 6};
    for (std::size_t f = 0; f < pixelFonts().size(); ++f) {
        const PixelFont& font = *pixelFonts()[f];
        EXPECT_EQ(findPixelFont(font.name()), &font);
        for (char32_t c = 0x20; c <= 0xFF; ++c) {
            if (c >= 0x7F && c < 0xA0) {
                EXPECT_FALSE(font.covers(c));
                continue;
            }
            ASSERT_TRUE(font.covers(c)) << font.name() << " U+" << std::hex << static_cast<int>(c);
            const auto& glyph = font.glyph(c);
            EXPECT_EQ(glyph.width, widths[f]);
            ASSERT_EQ(glyph.pixels.size(), static_cast<std::size_t>(glyph.width * font.height()))
                << font.name() << " U+" << std::hex << static_cast<int>(c);
            const bool blank = c == 0x20 || c == 0xA0;
            int set = 0;
            for (auto p : glyph.pixels) set += p;
            EXPECT_EQ(set == 0, blank) << font.name() << " U+" << std::hex << static_cast<int>(c);
        }
    }
    EXPECT_EQ(findPixelFont("7x9"), nullptr);
    EXPECT_EQ(defaultPixelFont().name(), "5x7");
}

TEST(PixelFonts, RenderKnownStringsToKnownPixels) {
    EXPECT_EQ(patternOf(rendered(*findPixelFont("3x5"), U"Hi")),
              (std::vector<std::string>{"#.#..#.", "#.#....", "###..#.", "#.#..#.", "#.#..#."}));
    // A capital under an accent gives up a repeated row for each accent row.
    EXPECT_EQ(patternOf(rendered(*findPixelFont("5x7"), U"\u00C9")),
              (std::vector<std::string>{"...#.", "..#..", "#####", "#....", "####.", "#....", "#####"}));
    // A small letter keeps its shape and the accent sits above it.
    EXPECT_EQ(patternOf(rendered(*findPixelFont("3x5"), U"\u00E8")),
              (std::vector<std::string>{"#..", ".##", "#.#", "##.", ".##"}));
    EXPECT_EQ(patternOf(rendered(*findPixelFont("bold-7"), U"1")),
              (std::vector<std::string>{"..##..", ".###..", "..##..", "..##..", "..##..", "..##..", ".####."}));
    // Characters outside Latin-1 are drawn as "?"; lines are centred.
    EXPECT_EQ(rendered(*findPixelFont("5x7"), U"\u20AC"), rendered(*findPixelFont("5x7"), U"?"));
    EXPECT_EQ(patternOf(rendered(*findPixelFont("3x5"), U"-\n--")),
              (std::vector<std::string>{".......", ".......", "..###..", ".......", ".......", ".......", ".......",
                                        ".......", "###.###", ".......", "......."}));
}

TEST(PixelFonts, TextThatDoesNotFitIsCutAtTheCanvasEdge) {
    const PixelFont& font = *findPixelFont("3x5");
    // Centred when it fits.
    EXPECT_EQ(patternOf(textOnCanvas({5, 7}, font, U"T")),
              (std::vector<std::string>{".....", ".###.", "..#..", "..#..", "..#..", "..#..", "....."}));
    // Too wide and too tall: starts at the top-left corner and is cut at the far edges.
    const std::u32string longText(100000, U'H');
    EXPECT_EQ(patternOf(textOnCanvas({6, 3}, font, longText)),
              (std::vector<std::string>{"#.#.#.", "#.#.#.", "###.##"}));
    Canvas canvas(4, 4);
    drawText(canvas, -2, -3, font, U"HH\nHH");
    EXPECT_EQ(patternOf(canvas), (std::vector<std::string>{"#.#.", "#.#.", "....", "#.#."}));
    drawText(canvas, 1 << 29, 1 << 29, font, longText);
    drawText(canvas, -(1 << 29), 0, font, longText);
    EXPECT_EQ(measureText(font, longText).width, 399999);
}

}  // namespace
}  // namespace pelorin
