#include "editor/fill_pattern.h"

#include "editor/shapes.h"

namespace pelorin {

bool patternInk(FillPattern pattern, int x, int y) {
    const auto index = static_cast<std::size_t>(pattern);
    if (index >= kFillPatterns.size()) return true;
    const std::uint8_t row = kFillPatterns[index].rows[static_cast<std::size_t>(y & 7)];
    return (row & (0x80u >> (x & 7))) != 0;
}

std::vector<Point> patternFill(Canvas& canvas, Point start, std::int32_t ink, FillPattern pattern) {
    const std::int32_t stored = ink != 0 ? 1 : 0;
    if (pattern == FillPattern::Solid) return floodFill(canvas, start, stored);
    std::vector<Point> changed;
    for (const Point cell : floodRegion(canvas, start)) {
        const std::int32_t value = patternInk(pattern, cell.x, cell.y) ? stored : 1 - stored;
        if (canvas.at(cell.x, cell.y) == value) continue;
        canvas.at(cell.x, cell.y) = value;
        changed.push_back(cell);
    }
    return changed;
}

}  // namespace pelorin
