#include "editor/selection_gestures.h"

#include <algorithm>

#include "editor/shapes.h"

namespace pelorin {

void DrawSelectionGesture::down(Point point, StylusInput /*input*/) {
    Selection& selection = ctx_.model.selection();
    DrawingSurface& surface = ctx_.screen.surface();
    const Point cell = ctx_.view.cellAt(point);
    const Rect previous = selection.rect();
    selection.hide();
    if (!previous.isEmpty()) surface.repaintNow(ctx_.view.cellRect(previous));
    anchor_ = cell;
    selection.setRect({cell.x, cell.y, cell.x + 1, cell.y + 1});
    surface.repaintNow(ctx_.view.cellRect(selection.rect()));
}

void DrawSelectionGesture::move(Point point, StylusInput /*input*/) {
    Selection& selection = ctx_.model.selection();
    const Viewport& view = ctx_.view;
    const auto [w, h] = view.canvasSize();
    Point cell = view.cellAt(point);
    cell.x = std::clamp(cell.x, 0, w - 1);
    cell.y = std::clamp(cell.y, 0, h - 1);

    const Rect a = selection.rect();
    const Rect b = spanOf(anchor_, cell);
    selection.setRect(b);
    // Four strips hold every cell whose colour changed: between the old and
    // the new left edges, right edges, top edges and bottom edges.
    const Rect all = a.united(b);
    const Rect strips[] = {
        {std::min(a.left, b.left), all.top, std::max(a.left, b.left), all.bottom},
        {std::min(a.right, b.right), all.top, std::max(a.right, b.right), all.bottom},
        {all.left, std::min(a.top, b.top), all.right, std::max(a.top, b.top)},
        {all.left, std::min(a.bottom, b.bottom), all.right, std::max(a.bottom, b.bottom)},
    };
    for (const Rect& strip : strips)
        if (!strip.isEmpty()) ctx_.screen.surface().repaintNow(view.cellRect(strip));

    // Beyond the window's edge the view scrolls one cell toward the stylus
    // per move.
    const Size client = view.clientSize();
    const int step = view.cellSize();
    Point& last = ctx_.lastPoint;
    last = point;
    if (point.x > client.width) last.x += step;
    if (point.x < 0) last.x -= step;
    if (point.y > client.height) last.y += step;
    if (point.y < 0) last.y -= step;
    if (view.outsideClient(point)) panTowards(ctx_, point);
}

void DragSelectionGesture::move(Point point, StylusInput /*input*/) {
    const Viewport& view = ctx_.view;
    const Size client = view.clientSize();
    const int step = view.cellSize();
    Point& last = ctx_.lastPoint;
    Point old = last;
    last = point;
    if (point.x > client.width) {
        last.x += step;
        old.x -= step;
    }
    if (point.x < 0) {
        last.x -= step;
        old.x += step;
    }
    if (point.y > client.height) {
        last.y += step;
        old.y -= step;
    }
    if (point.y < 0) {
        last.y -= step;
        old.y += step;
    }
    if (view.outsideClient(point)) panTowards(ctx_, point);
    last = old;

    const Point from = view.cellAt(old);
    const Point to = view.cellAt(point);
    // Movements of less than a cell add up, as the last point stays behind.
    if (from == to) return;

    const Point d = ctx_.model.selection().limitMove(to.x - from.x, to.y - from.y, view.canvasSize());
    ctx_.screen.moveSelectionShown(d.x, d.y);
    last = point;
}

}  // namespace pelorin
