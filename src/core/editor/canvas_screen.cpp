#include "editor/canvas_screen.h"

#include <algorithm>

#include "editor/layout.h"

namespace pelorin {

namespace {

constexpr bool isOdd(int value) { return value % 2 != 0; }

constexpr Rgb plainUnsetColour(int x, int y) { return isOdd(x + y) ? colour::kWhite : colour::kSilver; }

Rect previewRectOfCells(const Rect& cells) { return cells.translated(kPreviewOrigin.x, kPreviewOrigin.y); }

Rgb colourOf(const Canvas& canvas, const Selection& selection, int x, int y) {
    const bool set = canvas.isSet(x, y);
    if (!selection.contains({x, y})) return set ? colour::kBlack : plainUnsetColour(x, y);
    if (set) return colour::kDarkBlue;
    return isOdd(x + y) ? colour::kCyan : colour::kDarkCyan;
}

}  // namespace

Rgb CanvasScreen::cellColour(int x, int y) const { return colourOf(model_.canvas(), model_.selection(), x, y); }

void CanvasScreen::paint(const Rect& area, CellPainter& painter) const {
    if (area.isEmpty()) return;
    const auto [w, h] = view_.canvasSize();
    const int cell = view_.cellSize();
    const Point origin = view_.origin();
    int x0 = (area.left + origin.x) / cell;
    int y0 = (area.top + origin.y) / cell;
    int x1 = (area.right + origin.x - 1) / cell + 1;
    int y1 = (area.bottom + origin.y - 1) / cell + 1;
    x1 = std::max(std::min(x1, w), 0);
    y1 = std::max(std::min(y1, h), 0);
    // Only cells of the canvas are ever read.
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    // Cells are squares side by side: each one's place is the first one's,
    // moved by whole cells.
    const Canvas& canvas = model_.canvas();
    const Selection& selection = model_.selection();
    const Rect first = view_.cellRect({x0, y0, x0 + 1, y0 + 1});
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y)
            painter.fill(first.translated((x - x0) * cell, (y - y0) * cell), colourOf(canvas, selection, x, y));
}

void CanvasScreen::paintPreview(const Rect& area, PreviewPainter& painter) const {
    const LogoKind kind = view_.kind();
    painter.frame(previewFrameRect(kind));
    const Rect shown = previewRect(kind).intersected(area);
    if (shown.isEmpty()) return;
    const Canvas& c = model_.canvas();
    for (int x = shown.left; x < shown.right; ++x)
        for (int y = shown.top; y < shown.bottom; ++y)
            painter.pixel({x, y},
                          c.isSet(x - kPreviewOrigin.x, y - kPreviewOrigin.y) ? colour::kBlack : colour::kPreviewGrey);
}

void CanvasScreen::setCellDirectly(Point cell, std::int32_t value) {
    Canvas& c = model_.canvas();
    if (!c.contains(cell.x, cell.y)) return;
    c.at(cell.x, cell.y) = value;
    model_.selection().recordCell(c, cell, value);
    surface_.fillCell(view_.cellRect({cell.x, cell.y, cell.x + 1, cell.y + 1}),
                      value ? colour::kBlack : plainUnsetColour(cell.x, cell.y));
    surface_.setPreviewPixel({kPreviewOrigin.x + cell.x, kPreviewOrigin.y + cell.y},
                             value ? colour::kBlack : colour::kPreviewGrey);
}

void CanvasScreen::repaintCells(const Rect& cells) {
    if (cells.isEmpty()) return;
    surface_.repaintNow(view_.cellRect(cells));
    surface_.repaintPreviewNow(previewRectOfCells(cells));
}

void CanvasScreen::repaintPreview() { surface_.repaintPreviewNow(previewRect(view_.kind())); }

void CanvasScreen::repaintPreviewOfAllKinds() { surface_.repaintPreviewNow(previewAreaOfAllKinds()); }

bool CanvasScreen::scrollView(int dx, int dy) {
    const Point d = view_.limitScroll(dx, dy);
    if (d.x == 0 && d.y == 0) return false;
    view_.moveOrigin(d);
    surface_.viewChanged();
    // What is on screen moves with the picture; only the strips it uncovers
    // are painted.
    surface_.scrollContent(-d.x, -d.y);
    for (const Rect& strip : view_.exposedStrips(d))
        if (!strip.isEmpty()) surface_.repaintNow(strip);
    return true;
}

void CanvasScreen::moveSelectionShown(int dx, int dy) {
    Selection& selection = model_.selection();
    const Rect oldClient = view_.cellRect(selection.rect());
    const Rect oldPreview = previewRectOfCells(selection.rect());
    selection.moveBy(model_.canvas(), dx, dy);
    surface_.repaintNow(oldClient);
    surface_.repaintNow(view_.cellRect(selection.rect()));
    surface_.repaintPreviewNow(oldPreview);
    surface_.repaintPreviewNow(previewRectOfCells(selection.rect()));
}

}  // namespace pelorin
