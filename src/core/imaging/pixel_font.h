#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "document/canvas.h"

namespace pelorin {

// A bitmap font of one height covering printable Latin-1 (U+0020 to U+007E
// and U+00A0 to U+00FF). Any other character is drawn as "?".
class PixelFont {
public:
    struct Glyph {
        int width = 0;
        std::vector<std::uint8_t> pixels;  // width * height, row by row, 1 = set
    };

    PixelFont(std::string name, int height, std::array<Glyph, 256> glyphs)
        : name_(std::move(name)), height_(height), glyphs_(std::move(glyphs)) {}

    const std::string& name() const { return name_; }
    int height() const { return height_; }
    const Glyph& glyph(char32_t code) const;
    bool covers(char32_t code) const;

private:
    std::string name_;
    int height_;
    std::array<Glyph, 256> glyphs_;
};

// The fonts in the order they are offered: "3x5", "5x7", "bold-7".
const std::vector<const PixelFont*>& pixelFonts();
const PixelFont* findPixelFont(std::string_view name);
const PixelFont& defaultPixelFont();  // "5x7"

// Text is laid out in lines split at '\n', one column between characters and
// one row between lines; each line is centred in the width of the longest.
struct TextExtent {
    int width = 0;
    int height = 0;
};
TextExtent measureText(const PixelFont& font, std::u32string_view text);

// Draws the text with the top-left corner of its extent at (left, top), only
// setting pixels (clear pixels of the glyphs leave the canvas as it is).
// Whatever falls outside the canvas is cut off.
void drawText(Canvas& canvas, int left, int top, const PixelFont& font, std::u32string_view text);

// The text on a canvas of the given size, centred; text wider or taller than
// the canvas starts at its left or top edge and is cut at the far edge.
Canvas textOnCanvas(CanvasSize size, const PixelFont& font, std::u32string_view text);

}  // namespace pelorin
