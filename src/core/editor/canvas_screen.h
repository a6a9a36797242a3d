#pragma once

#include <cstdint>

#include "editor/drawing_surface.h"
#include "editor/edit_model.h"
#include "editor/geometry.h"
#include "editor/viewport.h"

namespace pelorin {

// Receives the fills of a paint: one square a cell, in client coordinates.
class CellPainter {
public:
    virtual ~CellPainter() = default;
    virtual void fill(const Rect& clientRect, Rgb colour) = 0;
};

// Receives the view's paint of the preview: the frame outline, then each
// preview pixel that meets the repainted area, column by column.
class PreviewPainter {
public:
    virtual ~PreviewPainter() = default;
    virtual void frame(const Rect& outline) = 0;
    virtual void pixel(Point viewPoint, Rgb colour) = 0;
};

// What the canvas window and the preview show of the model through the
// viewport: the colour of every cell, the paints, and the ways a change
// reaches the screen (a cell drawn directly, cells repainted, a scroll with
// its uncovered strips).
class CanvasScreen {
public:
    CanvasScreen(EditModel& model, Viewport& view, DrawingSurface& surface)
        : model_(model), view_(view), surface_(surface) {}

    DrawingSurface& surface() { return surface_; }

    // The colour of a cell as the paint shows it (selection colours inside
    // the selection; a checkerboard for unset cells outside it).
    Rgb cellColour(int x, int y) const;
    // Fills every cell of the current canvas that meets the area (client
    // coordinates); the erase that precedes it has made the area white.
    void paint(const Rect& area, CellPainter& painter) const;
    // The view's own paint: the preview frame and the preview pixels in area.
    void paintPreview(const Rect& area, PreviewPainter& painter) const;

    // Sets one cell of the canvas and draws it at once, in the normal colours
    // even inside the selection, until its next repaint. While a selection is
    // lifted the buffers take the cell too, so the next drag keeps it.
    void setCellDirectly(Point cell, std::int32_t value);
    // Repaints cells on the canvas window and the preview.
    void repaintCells(const Rect& cells);
    // The whole canvas window, the whole preview of the current kind, or the
    // preview's area of every kind.
    // The window may place its canvas window anew first (another cell size
    // or canvas).
    void redrawAll() {
        surface_.viewChanged();
        surface_.repaintNow(view_.clientRect());
    }
    void repaintPreview();
    void repaintPreviewOfAllKinds();
    // Scrolls the view by (dx, dy) client pixels within the pan limits: the
    // pixels on screen move, the uncovered strips are painted. False when the
    // limits leave nothing to scroll.
    bool scrollView(int dx, int dy);
    // Moves the lifted selection by whole cells and repaints its old and new
    // places.
    void moveSelectionShown(int dx, int dy);

private:
    EditModel& model_;
    Viewport& view_;
    DrawingSurface& surface_;
};

}  // namespace pelorin
