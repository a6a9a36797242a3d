#pragma once

#include <array>

#include "editor/geometry.h"

namespace pelorin {

enum class Tool : int { Pen = 0, Eraser = 1, Moving = 2, Selection = 3 };

// The palette below the canvas: four tool buttons and the two zoom buttons.
// It owns the current tool.
class ToolPalette {
public:
    static constexpr int kButtonSize = 32;
    static constexpr std::array<Point, 4> kButtonPos = {{{2, 2}, {38, 2}, {74, 2}, {110, 2}}};
    static constexpr Rect kZoomInRect{146, 38, 178, 70};
    static constexpr Rect kZoomOutRect{182, 38, 214, 70};
    static constexpr int kImageSlots = 10;  // pen, eraser, moving, selection (grey, colour); zoom in; zoom out

    enum class TapResult { Ignored, ToolChosen, ZoomIn, ZoomOut };

    Tool currentTool() const { return currentTool_; }
    void setCurrentTool(Tool tool) { currentTool_ = tool; }

    // A stylus-down at (x, y) in the palette's client coordinates. Zoom buttons
    // first; otherwise the 36-pixel column under x picks a tool, whatever y.
    TapResult tap(Point point);

    // The image slot shown for tool i: 2 i when it is not current, 2 i + 1 when it is.
    int imageSlot(int toolIndex) const;
    // The rounded outline around the current tool: (36 t, 0) to (36 (t + 1), 36).
    Rect frameRect() const;

private:
    Tool currentTool_ = Tool::Pen;
};

}  // namespace pelorin
