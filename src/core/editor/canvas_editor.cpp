#include "editor/canvas_editor.h"

#include <algorithm>
#include <optional>

#include "editor/layout.h"

namespace pelorin {

namespace {

constexpr bool isOdd(int value) { return value % 2 != 0; }

// The colour of an unset cell outside the selection: a checkerboard.
constexpr Rgb plainUnsetColour(int x, int y) { return isOdd(x + y) ? colour::kWhite : colour::kSilver; }

bool outsideClient(Point p) { return p.x < 0 || p.x >= kLogoClientWidth || p.y < 0 || p.y >= kLogoClientHeight; }

Rect previewRectOfCells(const Rect& cells) { return cells.translated(kPreviewOrigin.x, kPreviewOrigin.y); }

}  // namespace

CanvasEditor::CanvasEditor(CPelorinDoc& document, DrawingSurface& surface) : document_(document), surface_(surface) {}

// ---------------------------------------------------------------- geometry

Point CanvasEditor::cellAt(Point clientPoint) const {
    return {(clientPoint.x + origin_.x) / cellSize_, (clientPoint.y + origin_.y) / cellSize_};
}

Rect CanvasEditor::cellRect(const Rect& cells) const {
    return {cells.left * cellSize_ - origin_.x, cells.top * cellSize_ - origin_.y, cells.right * cellSize_ - origin_.x,
            cells.bottom * cellSize_ - origin_.y};
}

Rgb CanvasEditor::cellColour(int x, int y) const {
    const bool set = canvas().isSet(x, y);
    if (!selection_.contains({x, y})) return set ? colour::kBlack : plainUnsetColour(x, y);
    if (set) return colour::kDarkBlue;
    return isOdd(x + y) ? colour::kCyan : colour::kDarkCyan;
}

// The position in `floating` of a selection cell, when the buffer has room
// for it (a selection is never wider or taller than the largest canvas, but a
// wrong index must never reach the buffer).
static std::optional<std::size_t> floatingIndex(const Rect& selection, int x, int y) {
    const int column = x - selection.left;
    const int row = y - selection.top;
    if (column < 0 || row < 0 || row >= CanvasEditor::kBufferStride) return std::nullopt;
    const int index = column * CanvasEditor::kBufferStride + row;
    if (index >= CanvasEditor::kBufferCells) return std::nullopt;
    return static_cast<std::size_t>(index);
}

// ---------------------------------------------------------------- painting

void CanvasEditor::paint(const Rect& area, CellPainter& painter) const {
    if (area.isEmpty()) return;
    const auto [w, h] = size();
    int x0 = (area.left + origin_.x) / cellSize_;
    int y0 = (area.top + origin_.y) / cellSize_;
    int x1 = (area.right + origin_.x - 1) / cellSize_ + 1;
    int y1 = (area.bottom + origin_.y - 1) / cellSize_ + 1;
    x1 = std::max(std::min(x1, w), 0);
    y1 = std::max(std::min(y1, h), 0);
    // Only cells of the canvas are ever read.
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y) painter.fill(cellRect({x, y, x + 1, y + 1}), cellColour(x, y));
}

void CanvasEditor::paintPreview(const Rect& area, PreviewPainter& painter) const {
    painter.frame(previewFrameRect(kind_));
    const Rect shown = previewRect(kind_).intersected(area);
    if (shown.isEmpty()) return;
    const Canvas& c = canvas();
    for (int x = shown.left; x < shown.right; ++x)
        for (int y = shown.top; y < shown.bottom; ++y)
            painter.pixel({x, y},
                          c.isSet(x - kPreviewOrigin.x, y - kPreviewOrigin.y) ? colour::kBlack : colour::kPreviewGrey);
}

void CanvasEditor::redrawAll() { surface_.repaintNow(kLogoClientRect); }

// ---------------------------------------------------------------- stylus

void CanvasEditor::stylusDown(Point point, Tool tool) {
    tracking_ = true;
    lastPoint_ = point;
    switch (tool) {
        case Tool::Pen:
            paintCell(point, 1);
            break;
        case Tool::Eraser:
            paintCell(point, 0);
            break;
        case Tool::Moving:
            break;
        case Tool::Selection:
            selectionDown(point);
            break;
    }
}

void CanvasEditor::stylusMove(Point point, Tool tool) {
    if (!tracking_ || point == lastPoint_) return;
    switch (tool) {
        case Tool::Pen:
            paintCell(point, 1);
            break;
        case Tool::Eraser:
            paintCell(point, 0);
            break;
        case Tool::Moving:
            pan(point);
            break;
        case Tool::Selection:
            if (draggingSelection_)
                dragSelection(point);
            else
                extendSelection(point);
            break;
    }
}

void CanvasEditor::stylusUp(Point /*point*/, Tool tool) {
    tracking_ = false;
    if (tool == Tool::Selection && !draggingSelection_) liftSelection();
}

// ---------------------------------------------------------------- tools

void CanvasEditor::paintCell(Point point, std::int32_t value) {
    const Point cell = cellAt(point);
    Canvas& c = canvas();
    if (!c.contains(cell.x, cell.y)) return;
    const std::int32_t stored = value != 0 ? 1 : 0;
    c.at(cell.x, cell.y) = stored;

    // While a selection is lifted, a drag rebuilds the canvas from the two
    // buffers; the stroke goes into them too, so the drag keeps it.
    if (!selection_.isEmpty()) {
        if (selection_.contains(cell)) {
            if (const auto index = floatingIndex(selection_, cell.x, cell.y)) floating_[*index] = stored;
        } else {
            background_[static_cast<std::size_t>(cell.x * c.height() + cell.y)] = stored;
        }
    }

    // The cell is drawn directly, in the normal colours even inside the
    // selection, until its next repaint.
    surface_.fillCell(cellRect({cell.x, cell.y, cell.x + 1, cell.y + 1}),
                      stored ? colour::kBlack : plainUnsetColour(cell.x, cell.y));
    surface_.setPreviewPixel({kPreviewOrigin.x + cell.x, kPreviewOrigin.y + cell.y},
                             stored ? colour::kBlack : colour::kPreviewGrey);
}

void CanvasEditor::pan(Point point) {
    const auto [w, h] = size();
    const int canvasWidth = w * cellSize_;
    const int canvasHeight = h * cellSize_;
    constexpr int cw = kLogoClientWidth;
    constexpr int ch = kLogoClientHeight;

    int dx = lastPoint_.x - point.x;
    int dy = lastPoint_.y - point.y;
    // A direction in which the whole canvas fits is never scrolled.
    if (canvasWidth <= cw) dx = 0;
    if (canvasHeight <= ch) dy = 0;
    if (dx > 0 && origin_.x + cw + dx > canvasWidth)
        dx = canvasWidth - origin_.x - cw;
    else if (dx <= 0 && origin_.x + dx < 0)
        dx = -origin_.x;
    if (dy > 0 && origin_.y + ch + dy > canvasHeight)
        dy = canvasHeight - origin_.y - ch;
    else if (dy <= 0 && origin_.y + dy < 0)
        dy = -origin_.y;
    if (dx == 0 && dy == 0) return;

    lastPoint_ = point;
    origin_.x += dx;
    origin_.y += dy;

    // What is on screen moves with the picture; only the strips it uncovers
    // are painted.
    surface_.scrollContent(-dx, -dy);
    const Rect horizontalStrip = dy >= 0 ? Rect{0, ch - dy, cw, ch} : Rect{0, 0, cw, -dy};
    const Rect verticalStrip = dx >= 0 ? Rect{cw - dx, 0, cw, ch} : Rect{0, 0, -dx, ch};
    if (!horizontalStrip.isEmpty()) surface_.repaintNow(horizontalStrip);
    if (!verticalStrip.isEmpty()) surface_.repaintNow(verticalStrip);
}

void CanvasEditor::selectionDown(Point point) {
    const Point cell = cellAt(point);
    if (selection_.contains(cell)) {
        draggingSelection_ = true;
        return;
    }
    draggingSelection_ = false;
    const Rect previous = selection_;
    selection_ = {};
    if (!previous.isEmpty()) surface_.repaintNow(cellRect(previous));
    selection_ = {cell.x, cell.y, cell.x + 1, cell.y + 1};
    surface_.repaintNow(cellRect(selection_));
}

void CanvasEditor::extendSelection(Point point) {
    const auto [w, h] = size();
    Point cell = cellAt(point);
    cell.x = std::min(cell.x, w - 1);
    cell.y = std::min(cell.y, h - 1);

    const int r0 = selection_.right;
    const int b0 = selection_.bottom;
    selection_.right = cell.x + 1;
    selection_.bottom = cell.y + 1;
    const int r1 = selection_.right;
    const int b1 = selection_.bottom;
    // Two strips hold every cell whose colour changed.
    const Rect columns{std::min(r0, r1), selection_.top, std::max(r0, r1), std::max(b0, b1)};
    const Rect rows{selection_.left, std::min(b0, b1), std::max(r0, r1), std::max(b0, b1)};
    if (!columns.isEmpty()) surface_.repaintNow(cellRect(columns));
    if (!rows.isEmpty()) surface_.repaintNow(cellRect(rows));

    // Beyond the window's edge the view scrolls one cell toward the stylus
    // per move.
    lastPoint_ = point;
    if (point.x > kLogoClientWidth) lastPoint_.x += cellSize_;
    if (point.x < 0) lastPoint_.x -= cellSize_;
    if (point.y > kLogoClientHeight) lastPoint_.y += cellSize_;
    if (point.y < 0) lastPoint_.y -= cellSize_;
    if (outsideClient(point)) pan(point);
}

void CanvasEditor::liftSelection() {
    Canvas& c = canvas();
    const auto forEachSelectedCell = [&](auto&& action) {
        for (int x = selection_.left; x < selection_.right; ++x)
            for (int y = selection_.top; y < selection_.bottom; ++y) {
                const auto index = floatingIndex(selection_, x, y);
                if (index) action(x, y, *index);
            }
    };
    // Cells of the selection beyond the canvas hold nothing: they float as unset.
    forEachSelectedCell([&](int x, int y, std::size_t index) {
        if (c.contains(x, y)) {
            floating_[index] = c.at(x, y);
            c.at(x, y) = 0;
        } else {
            floating_[index] = 0;
        }
    });
    std::copy(c.values().begin(), c.values().end(), background_.begin());
    forEachSelectedCell([&](int x, int y, std::size_t index) {
        if (c.contains(x, y)) c.at(x, y) = floating_[index];
    });
}

void CanvasEditor::stampFloating() {
    Canvas& c = canvas();
    for (int x = selection_.left; x < selection_.right; ++x)
        for (int y = selection_.top; y < selection_.bottom; ++y) {
            if (!c.contains(x, y)) continue;
            const auto index = floatingIndex(selection_, x, y);
            c.at(x, y) = index ? floating_[*index] : 0;
        }
}

void CanvasEditor::restoreBackground() {
    Canvas& c = canvas();
    std::copy_n(background_.begin(), c.values().size(), c.values().begin());
}

void CanvasEditor::dragSelection(Point point) {
    const auto [w, h] = size();
    Point old = lastPoint_;
    lastPoint_ = point;
    if (point.x > kLogoClientWidth) {
        lastPoint_.x += cellSize_;
        old.x -= cellSize_;
    }
    if (point.x < 0) {
        lastPoint_.x -= cellSize_;
        old.x += cellSize_;
    }
    if (point.y > kLogoClientHeight) {
        lastPoint_.y += cellSize_;
        old.y -= cellSize_;
    }
    if (point.y < 0) {
        lastPoint_.y -= cellSize_;
        old.y += cellSize_;
    }
    if (outsideClient(point)) pan(point);
    lastPoint_ = old;

    const Point from = cellAt(old);
    const Point to = cellAt(point);
    // Movements of less than a cell add up, as lastPoint stays behind.
    if (from == to) return;

    int dx = to.x - from.x;
    int dy = to.y - from.y;
    if (selection_.left + dx < 0) dx = -selection_.left;
    if (selection_.right + dx > w) dx = w - selection_.right;
    if (selection_.top + dy < 0) dy = -selection_.top;
    if (selection_.bottom + dy > h) dy = h - selection_.bottom;

    const Rect oldClient = cellRect(selection_);
    const Rect oldPreview = previewRectOfCells(selection_);
    restoreBackground();
    selection_ = selection_.translated(dx, dy);
    stampFloating();
    lastPoint_ = point;

    surface_.repaintNow(oldClient);
    surface_.repaintNow(cellRect(selection_));
    surface_.repaintPreviewNow(oldPreview);
    surface_.repaintPreviewNow(previewRectOfCells(selection_));
}

// ---------------------------------------------------------------- commands

void CanvasEditor::hideSelection() {
    selection_ = {};
    redrawAll();
}

void CanvasEditor::copySelection() {
    Canvas& c = canvas();
    std::copy(c.values().begin(), c.values().end(), background_.begin());
    // The copy goes to the first wholly visible column, at the top row.
    const int left = (origin_.x + cellSize_ - 1) / cellSize_;
    selection_ = {left, 0, left + selection_.width(), selection_.height()};
    stampFloating();
    surface_.repaintPreviewNow(previewRect(kind_));
    redrawAll();
}

void CanvasEditor::deleteSelection() {
    floating_.fill(0);
    Canvas& c = canvas();
    for (int x = selection_.left; x < selection_.right; ++x)
        for (int y = selection_.top; y < selection_.bottom; ++y)
            if (c.contains(x, y)) c.at(x, y) = 0;
    surface_.repaintPreviewNow(previewRect(kind_));
    hideSelection();
}

void CanvasEditor::setCanvasKind(LogoKind kind) {
    const auto before = size();
    origin_ = {0, 0};
    selection_ = {};
    draggingSelection_ = false;
    kind_ = kind;
    redrawAll();
    // The view draws only the preview and its frame: repainting the larger of
    // the old and the new frame covers everything that changed.
    const auto after = size();
    const Rect frame = previewFrameRect(kind);
    surface_.repaintPreviewNow(
        {frame.left, frame.top, std::max(before.width, after.width) + 86, std::max(before.height, after.height) + 162});
}

void CanvasEditor::zoomIn() {
    const int c = cellSize_;
    if (c >= kMaxCellSize) return;
    const float ratio = static_cast<float>(c + 1) / static_cast<float>(c);
    origin_.x = static_cast<int>(static_cast<float>(origin_.x) * ratio);
    origin_.y = static_cast<int>(static_cast<float>(origin_.y) * ratio);
    cellSize_ = c + 1;
    redrawAll();
}

void CanvasEditor::zoomOut() {
    const int c = cellSize_;
    if (c <= kMinCellSize) return;
    const float ratio = static_cast<float>(c - 1) / static_cast<float>(c);
    origin_.x = static_cast<int>(static_cast<float>(origin_.x) * ratio);
    origin_.y = static_cast<int>(static_cast<float>(origin_.y) * ratio);
    cellSize_ = c - 1;
    redrawAll();
}

void CanvasEditor::dropSelection() {
    selection_ = {};
    draggingSelection_ = false;
}

}  // namespace pelorin
