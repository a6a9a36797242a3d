#pragma once

#include "editor/geometry.h"

namespace pelorin {

// Everything the editing logic knows of the screen. The canvas window and the
// main view implement it; tests record the calls.
//
// Client coordinates are those of the canvas window (218 x 138); view
// coordinates are those of the main view, where the actual-size preview lives.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // Fills one cell's square on the canvas window at once, without a repaint
    // (the pen and the eraser).
    virtual void fillCell(const Rect& clientRect, Rgb colour) = 0;
    // Clips the rectangle to the client area, erases it white and paints its
    // cells before returning. An empty rectangle paints nothing.
    virtual void repaintNow(const Rect& clientRect) = 0;
    // Moves the pixels already on the canvas window by (dx, dy): content moves
    // right for dx > 0 and down for dy > 0. The uncovered strips are left to
    // the caller, which repaints them.
    virtual void scrollContent(int dx, int dy) = 0;
    // Sets one pixel of the actual-size preview at once (view coordinates).
    virtual void setPreviewPixel(Point viewPoint, Rgb colour) = 0;
    // Repaints a rectangle of the main view at once (view coordinates): the
    // preview and its frame where they meet it.
    virtual void repaintPreviewNow(const Rect& viewRect) = 0;
    // The view moved: another cell size, canvas or origin. The window may
    // place its canvas window and scroll bars anew (which can give the logic
    // a new client size). Nothing to do by default.
    virtual void viewChanged() {}
};

}  // namespace pelorin
