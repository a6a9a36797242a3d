#include "imaging/pixel_font.h"

#include <algorithm>
#include <optional>

#include "imaging/font_data.h"

namespace pelorin {
namespace {

using font_data::FontRows;
using Glyph = PixelFont::Glyph;

Glyph glyphFromRows(std::string_view rows, int width) {
    Glyph glyph;
    glyph.width = width;
    for (char c : rows)
        if (c == '#' || c == '.') glyph.pixels.push_back(c == '#' ? 1 : 0);
    return glyph;
}

std::vector<std::vector<std::uint8_t>> rowsOf(const Glyph& glyph) {
    std::vector<std::vector<std::uint8_t>> rows;
    for (std::size_t at = 0; at + static_cast<std::size_t>(glyph.width) <= glyph.pixels.size(); at += glyph.width)
        rows.emplace_back(glyph.pixels.begin() + static_cast<std::ptrdiff_t>(at),
                          glyph.pixels.begin() + static_cast<std::ptrdiff_t>(at + glyph.width));
    return rows;
}

// A base letter with an accent above it. Where the letter leaves room above
// (lower case), the accent goes there, with a clear row between when there is
// space; a capital gives up rows that repeat their neighbour until it fits.
Glyph withAccent(const Glyph& base, std::string_view accentRows, int height) {
    const Glyph accent = glyphFromRows(accentRows, base.width);
    auto rows = rowsOf(base);
    const int accentHeight = static_cast<int>(accent.pixels.size()) / base.width;
    int top = 0;
    while (top < height && std::all_of(rows[top].begin(), rows[top].end(), [](auto v) { return v == 0; })) ++top;
    int accentTop;
    if (top >= accentHeight + 1) {
        accentTop = top - 1 - accentHeight;
    } else if (top >= accentHeight) {
        accentTop = top - accentHeight;
    } else {
        // Squeeze the letter: drop repeated rows (the last of each pair) until
        // the accent fits, else the second row.
        int needed = accentHeight - top;
        rows.erase(rows.begin(), rows.begin() + top);
        while (needed > 0) {
            std::size_t drop = 1;
            for (std::size_t r = rows.size() - 1; r > 0; --r)
                if (rows[r] == rows[r - 1]) {
                    drop = r;
                    break;
                }
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(drop));
            --needed;
        }
        rows.insert(rows.begin(), static_cast<std::size_t>(accentHeight), std::vector<std::uint8_t>(base.width, 0));
        accentTop = 0;
    }
    for (int r = 0; r < accentHeight; ++r)
        for (int x = 0; x < base.width; ++x)
            rows[accentTop + r][x] |= accent.pixels[static_cast<std::size_t>(r * base.width + x)];
    Glyph out;
    out.width = base.width;
    for (const auto& row : rows) out.pixels.insert(out.pixels.end(), row.begin(), row.end());
    return out;
}

enum class Mark { Grave, Acute, Circumflex, Tilde, Diaeresis, Ring };
struct Composition {
    char32_t code;
    char32_t base;
    Mark mark;
};

// The accented letters of Latin-1 that are a base letter and one mark above.
constexpr Composition kCompositions[] = {
    {0xC0, 'A', Mark::Grave},      {0xC1, 'A', Mark::Acute},        {0xC2, 'A', Mark::Circumflex},
    {0xC3, 'A', Mark::Tilde},      {0xC4, 'A', Mark::Diaeresis},    {0xC5, 'A', Mark::Ring},
    {0xC8, 'E', Mark::Grave},      {0xC9, 'E', Mark::Acute},        {0xCA, 'E', Mark::Circumflex},
    {0xCB, 'E', Mark::Diaeresis},  {0xCC, 'I', Mark::Grave},        {0xCD, 'I', Mark::Acute},
    {0xCE, 'I', Mark::Circumflex}, {0xCF, 'I', Mark::Diaeresis},    {0xD1, 'N', Mark::Tilde},
    {0xD2, 'O', Mark::Grave},      {0xD3, 'O', Mark::Acute},        {0xD4, 'O', Mark::Circumflex},
    {0xD5, 'O', Mark::Tilde},      {0xD6, 'O', Mark::Diaeresis},    {0xD9, 'U', Mark::Grave},
    {0xDA, 'U', Mark::Acute},      {0xDB, 'U', Mark::Circumflex},   {0xDC, 'U', Mark::Diaeresis},
    {0xDD, 'Y', Mark::Acute},      {0xE0, 'a', Mark::Grave},        {0xE1, 'a', Mark::Acute},
    {0xE2, 'a', Mark::Circumflex}, {0xE3, 'a', Mark::Tilde},        {0xE4, 'a', Mark::Diaeresis},
    {0xE5, 'a', Mark::Ring},       {0xE8, 'e', Mark::Grave},        {0xE9, 'e', Mark::Acute},
    {0xEA, 'e', Mark::Circumflex}, {0xEB, 'e', Mark::Diaeresis},    {0xEC, 0x131, Mark::Grave},
    {0xED, 0x131, Mark::Acute},    {0xEE, 0x131, Mark::Circumflex}, {0xEF, 0x131, Mark::Diaeresis},
    {0xF1, 'n', Mark::Tilde},      {0xF2, 'o', Mark::Grave},        {0xF3, 'o', Mark::Acute},
    {0xF4, 'o', Mark::Circumflex}, {0xF5, 'o', Mark::Tilde},        {0xF6, 'o', Mark::Diaeresis},
    {0xF9, 'u', Mark::Grave},      {0xFA, 'u', Mark::Acute},        {0xFB, 'u', Mark::Circumflex},
    {0xFC, 'u', Mark::Diaeresis},  {0xFD, 'y', Mark::Acute},        {0xFF, 'y', Mark::Diaeresis},
};

std::string_view accentRows(const font_data::Accents& accents, Mark mark) {
    switch (mark) {
        case Mark::Grave:
            return accents.grave;
        case Mark::Acute:
            return accents.acute;
        case Mark::Circumflex:
            return accents.circumflex;
        case Mark::Tilde:
            return accents.tilde;
        case Mark::Diaeresis:
            return accents.diaeresis;
        case Mark::Ring:
            return accents.ring;
    }
    return accents.grave;
}

std::array<Glyph, 256> buildGlyphs(const FontRows& rows) {
    std::array<Glyph, 256> glyphs;
    std::optional<Glyph> dotlessI;
    for (const auto& drawn : rows.glyphs) {
        const Glyph glyph = glyphFromRows(drawn.rows, rows.width);
        if (drawn.code == 0x131)
            dotlessI = glyph;
        else if (drawn.code < 256)
            glyphs[drawn.code] = glyph;
    }
    for (const auto& composed : kCompositions) {
        if (!glyphs[composed.code].pixels.empty()) continue;  // drawn on its own
        const Glyph& base = composed.base == 0x131 ? *dotlessI : glyphs[composed.base];
        glyphs[composed.code] = withAccent(base, accentRows(rows.accents, composed.mark), rows.height);
    }
    return glyphs;
}

// Bold: every set pixel also sets the one to its right, one column wider.
std::array<Glyph, 256> emboldened(const std::array<Glyph, 256>& regular, int height) {
    std::array<Glyph, 256> bold;
    for (std::size_t c = 0; c < regular.size(); ++c) {
        const Glyph& in = regular[c];
        if (in.pixels.empty()) continue;
        Glyph& out = bold[c];
        out.width = in.width + 1;
        out.pixels.assign(static_cast<std::size_t>(out.width * height), 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < in.width; ++x)
                if (in.pixels[static_cast<std::size_t>(y * in.width + x)]) {
                    out.pixels[static_cast<std::size_t>(y * out.width + x)] = 1;
                    out.pixels[static_cast<std::size_t>(y * out.width + x + 1)] = 1;
                }
    }
    return bold;
}

struct Fonts {
    PixelFont small{"3x5", 5, buildGlyphs(font_data::small3x5())};
    PixelFont medium{"5x7", 7, buildGlyphs(font_data::medium5x7())};
    PixelFont bold{"bold-7", 7, emboldened(buildGlyphs(font_data::medium5x7()), 7)};
    std::vector<const PixelFont*> all{&small, &medium, &bold};
};

const Fonts& fonts() {
    static const Fonts instance;
    return instance;
}

std::vector<std::u32string_view> splitLines(std::u32string_view text) {
    std::vector<std::u32string_view> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(U'\n', start);
        lines.push_back(text.substr(start, end == std::u32string_view::npos ? std::u32string_view::npos : end - start));
        if (end == std::u32string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

// Widths in 64 bits: a line of millions of characters must not overflow.
long long lineWidth(const PixelFont& font, std::u32string_view line) {
    long long width = 0;
    for (char32_t c : line) width += font.glyph(c).width + 1;
    return width > 0 ? width - 1 : 0;
}

int clampToInt(long long value) { return static_cast<int>(std::min<long long>(value, 1 << 30)); }

}  // namespace

bool PixelFont::covers(char32_t code) const { return code < 256 && !glyphs_[code].pixels.empty(); }

const PixelFont::Glyph& PixelFont::glyph(char32_t code) const { return covers(code) ? glyphs_[code] : glyphs_[U'?']; }

const std::vector<const PixelFont*>& pixelFonts() { return fonts().all; }

const PixelFont* findPixelFont(std::string_view name) {
    for (const PixelFont* font : pixelFonts())
        if (font->name() == name) return font;
    return nullptr;
}

const PixelFont& defaultPixelFont() { return fonts().medium; }

TextExtent measureText(const PixelFont& font, std::u32string_view text) {
    const auto lines = splitLines(text);
    long long width = 0;
    for (const auto& line : lines) width = std::max(width, lineWidth(font, line));
    const long long height = static_cast<long long>(lines.size()) * (font.height() + 1) - 1;
    return {clampToInt(width), clampToInt(height)};
}

void drawText(Canvas& canvas, int left, int top, const PixelFont& font, std::u32string_view text) {
    const auto lines = splitLines(text);
    const long long blockWidth = measureText(font, text).width;
    long long y = top;
    for (const auto& line : lines) {
        if (y >= canvas.height()) break;
        long long x = left + (blockWidth - lineWidth(font, line)) / 2;
        for (char32_t c : line) {
            if (x >= canvas.width()) break;
            const auto& glyph = font.glyph(c);
            if (x + glyph.width > 0 && y + font.height() > 0) {
                for (int gy = 0; gy < font.height(); ++gy)
                    for (int gx = 0; gx < glyph.width; ++gx) {
                        const long long px = x + gx;
                        const long long py = y + gy;
                        if (!glyph.pixels[static_cast<std::size_t>(gy * glyph.width + gx)]) continue;
                        if (px < 0 || py < 0 || px >= canvas.width() || py >= canvas.height()) continue;
                        canvas.set(static_cast<int>(px), static_cast<int>(py), true);
                    }
            }
            x += glyph.width + 1;
        }
        y += font.height() + 1;
    }
}

Canvas textOnCanvas(CanvasSize size, const PixelFont& font, std::u32string_view text) {
    Canvas canvas(size);
    const TextExtent extent = measureText(font, text);
    const int left = std::max(0, (size.width - extent.width) / 2);
    const int top = std::max(0, (size.height - extent.height) / 2);
    drawText(canvas, left, top, font, text);
    return canvas;
}

}  // namespace pelorin
