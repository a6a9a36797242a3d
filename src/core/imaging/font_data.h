#pragma once

#include <span>
#include <string_view>

namespace pelorin::font_data {

// One glyph as drawn: its rows from the top, separated by spaces, '#' a set
// pixel and '.' a clear one. Every row of a font has the font's width.
struct GlyphRows {
    char32_t code;
    std::string_view rows;
};

// Diacritics drawn above a letter: rows of the font's width, bottom row next
// to the letter.
struct Accents {
    std::string_view grave, acute, circumflex, tilde, diaeresis, ring;
};

struct FontRows {
    std::string_view name;
    int width;
    int height;
    std::span<const GlyphRows> glyphs;
    Accents accents;
};

const FontRows& small3x5();
const FontRows& medium5x7();

}  // namespace pelorin::font_data
