#include "editor/tool_palette.h"

#include <algorithm>

namespace pelorin {

namespace {
constexpr int kPaletteHeight = 70;
}  // namespace

ToolPalette::TapResult ToolPalette::tap(Point point) {
    if (kZoomInRect.contains(point)) return TapResult::ZoomIn;
    if (kZoomOutRect.contains(point)) return TapResult::ZoomOut;
    // The row, then the column: a tool's whole 36-pixel column within its
    // row, above, below and between the buttons, picks it.
    if (point.x < 0) return TapResult::Ignored;
    const int row = point.y < kRowHeight ? 0 : 1;
    const int column = point.x / kColumnWidth;
    if (column >= kToolsPerRow) return TapResult::Ignored;
    const int index = row * kToolsPerRow + column;
    if (index >= static_cast<int>(kTools.size())) return TapResult::Ignored;
    currentTool_ = kTools[static_cast<std::size_t>(index)].tool;
    return TapResult::ToolChosen;
}

int ToolPalette::imageSlot(int toolIndex) const {
    return 2 * toolIndex + (toolIndex == static_cast<int>(currentTool_) ? 1 : 0);
}

Rect ToolPalette::frameRect() const {
    const int t = static_cast<int>(currentTool_);
    const int column = t % kToolsPerRow;
    const int row = t / kToolsPerRow;
    return {kColumnWidth * column, kRowHeight * row, kColumnWidth * (column + 1),
            std::min(kRowHeight * (row + 1), kPaletteHeight)};
}

}  // namespace pelorin
