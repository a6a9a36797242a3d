#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "document/canvas.h"
#include "editor/geometry.h"

namespace pelorin {

// What the fill tool fills with: every cell (solid) or an 8 x 8 one-bit
// pattern anchored to the canvas, so that fills of neighbouring areas meet
// without seams.
enum class FillPattern : int {
    Solid = 0,
    Checker50,
    Dots25,
    Dots75,
    HorizontalLines,
    VerticalLines,
    RisingDiagonals,
    FallingDiagonals,
    Bricks,
};

struct FillPatternInfo {
    FillPattern pattern;
    std::string_view name;
    // Eight rows from the top; the first column in bit 0x80.
    std::array<std::uint8_t, 8> rows;
};

inline constexpr std::array<FillPatternInfo, 9> kFillPatterns = {{
    {FillPattern::Solid, "Solid", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
    {FillPattern::Checker50, "50% checker", {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}},
    {FillPattern::Dots25, "25% dots", {0xAA, 0x00, 0x55, 0x00, 0xAA, 0x00, 0x55, 0x00}},
    {FillPattern::Dots75, "75% dots", {0x55, 0xFF, 0xAA, 0xFF, 0x55, 0xFF, 0xAA, 0xFF}},
    {FillPattern::HorizontalLines, "Horizontal lines", {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00}},
    {FillPattern::VerticalLines, "Vertical lines", {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88}},
    {FillPattern::RisingDiagonals, "Rising diagonals", {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88}},
    {FillPattern::FallingDiagonals, "Falling diagonals", {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11}},
    {FillPattern::Bricks, "Bricks", {0xFF, 0x80, 0x80, 0x80, 0xFF, 0x08, 0x08, 0x08}},
}};

// Whether the pattern has ink at a canvas cell (x, y >= 0).
bool patternInk(FillPattern pattern, int x, int y);

// Fills the 4-connected region under the start cell: with the ink where the
// pattern has ink and the other value elsewhere. A solid fill is the plain
// flood fill (nothing when the region holds the ink already). Returns the
// cells changed.
std::vector<Point> patternFill(Canvas& canvas, Point start, std::int32_t ink, FillPattern pattern);

}  // namespace pelorin
