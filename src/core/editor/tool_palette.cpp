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
    const Point button{column * kColumnWidth + 2, row * kRowHeight + 2};
    if (button == kTextButtonPos) return TapResult::Text;
    for (const ToolButton& tool : kTools)
        if (tool.pos == button) {
            currentTool_ = tool.tool;
            return TapResult::ToolChosen;
        }
    return TapResult::Ignored;
}

int ToolPalette::imageSlot(int toolIndex) const {
    return 2 * toolIndex + (toolIndex == static_cast<int>(currentTool_) ? 1 : 0);
}

Rect ToolPalette::frameRect() const {
    Point at = kTools.front().pos;
    for (const ToolButton& tool : kTools)
        if (tool.tool == currentTool_) at = tool.pos;
    const int column = at.x / kColumnWidth;
    const int row = at.y / kRowHeight;
    return {kColumnWidth * column, kRowHeight * row, kColumnWidth * (column + 1),
            std::min(kRowHeight * (row + 1), kPaletteHeight)};
}

}  // namespace pelorin
