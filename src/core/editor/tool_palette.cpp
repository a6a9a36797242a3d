#include "editor/tool_palette.h"

namespace pelorin {

namespace {
constexpr int kToolColumnWidth = 36;  // a 32-pixel button and its 4-pixel gap
constexpr int kToolCount = 4;
}  // namespace

ToolPalette::TapResult ToolPalette::tap(Point point) {
    if (kZoomInRect.contains(point)) return TapResult::ZoomIn;
    if (kZoomOutRect.contains(point)) return TapResult::ZoomOut;
    // Only x decides: the whole 36-pixel column of a tool, above, below and
    // between the buttons, picks it.
    if (point.x < 0) return TapResult::Ignored;
    const int index = point.x / kToolColumnWidth;
    if (index >= kToolCount) return TapResult::Ignored;
    currentTool_ = static_cast<Tool>(index);
    return TapResult::ToolChosen;
}

int ToolPalette::imageSlot(int toolIndex) const {
    return 2 * toolIndex + (toolIndex == static_cast<int>(currentTool_) ? 1 : 0);
}

Rect ToolPalette::frameRect() const {
    const int t = static_cast<int>(currentTool_);
    return {kToolColumnWidth * t, 0, kToolColumnWidth * (t + 1), kToolColumnWidth};
}

}  // namespace pelorin
