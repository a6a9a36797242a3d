#pragma once

#include <array>
#include <string_view>

#include "editor/geometry.h"

namespace pelorin {

enum class Tool : int {
    Pen = 0,
    Eraser = 1,
    Moving = 2,
    Selection = 3,
    Line = 4,
    Rectangle = 5,
    Fill = 6,
    Ellipse = 7,
    InvertPen = 8,
};

// A tool's button on the palette, its name (as the Tools menu shows it) and
// its key.
struct ToolButton {
    Tool tool;
    Point pos;
    std::string_view name;
    char key;
};

// The palette below the canvas: the tool buttons in two rows and the two zoom
// buttons. It owns the current tool.
class ToolPalette {
public:
    static constexpr int kButtonSize = 32;
    static constexpr int kColumnWidth = 36;  // a 32-pixel button and its 4-pixel gap
    static constexpr int kRowHeight = 36;
    static constexpr int kToolsPerRow = 4;  // in the second row; the first has six
    // The first seven tools sit in row i / 4, column i % 4; the later ones
    // take the first row's free columns, above the zoom buttons. A button is
    // at x = column x 36 + 2, y = row x 36 + 2.
    static constexpr std::array<ToolButton, 9> kTools = {{
        {Tool::Pen, {2, 2}, "Pen", 'P'},
        {Tool::Eraser, {38, 2}, "Eraser", 'E'},
        {Tool::Moving, {74, 2}, "Moving", 'M'},
        {Tool::Selection, {110, 2}, "Selection", 'S'},
        {Tool::Line, {2, 38}, "Line", 'L'},
        {Tool::Rectangle, {38, 38}, "Rectangle", 'R'},
        {Tool::Fill, {74, 38}, "Fill", 'F'},
        {Tool::Ellipse, {146, 2}, "Ellipse", 'O'},
        {Tool::InvertPen, {182, 2}, "Invert pen", 'I'},
    }};
    // The second row's fourth button runs the Text command; it is no tool.
    static constexpr Point kTextButtonPos{110, 38};
    static constexpr Rect kZoomInRect{146, 38, 178, 70};
    static constexpr Rect kZoomOutRect{182, 38, 214, 70};
    static constexpr int kImageSlots = 10;  // pen, eraser, moving, selection (grey, colour); zoom in; zoom out

    enum class TapResult { Ignored, ToolChosen, ZoomIn, ZoomOut, Text };

    Tool currentTool() const { return currentTool_; }
    void setCurrentTool(Tool tool) { currentTool_ = tool; }

    // A stylus-down at (x, y) in the palette's client coordinates. Zoom buttons
    // first; otherwise the row (y < 36 the first, else the second) and the
    // 36-pixel column under x pick a tool, whatever the gaps.
    TapResult tap(Point point);

    // The image slot shown for tool i: 2 i when it is not current, 2 i + 1 when it is.
    int imageSlot(int toolIndex) const;
    // The rounded outline around the current tool: its row's and column's
    // 36-pixel square, (36 c, 36 r) to (36 (c + 1), 36 (r + 1)), cut at the
    // palette's bottom (70) in the second row.
    Rect frameRect() const;

private:
    Tool currentTool_ = Tool::Pen;
};

}  // namespace pelorin
