#pragma once

#include <vector>

#include "document/logo_kind.h"
#include "editor/fill_pattern.h"
#include "editor/geometry.h"

namespace pelorin {

// The Tools menu's switches that the drawing tools follow.
struct DrawingOptions {
    bool filled = false;              // rectangles and ellipses filled
    bool mirrorHorizontally = false;  // also drawn reflected left to right
    bool mirrorVertically = false;    // also drawn reflected top to bottom
    FillPattern fillPattern = FillPattern::Solid;
};

// The cell and its reflections about the canvas's middle that the mirrors
// ask for, each once (1, 2 or 4 cells).
std::vector<Point> mirrorImages(Point cell, CanvasSize size, const DrawingOptions& options);

// The cells and all their reflections, each once.
std::vector<Point> withMirrorImages(const std::vector<Point>& cells, CanvasSize size, const DrawingOptions& options);

}  // namespace pelorin
