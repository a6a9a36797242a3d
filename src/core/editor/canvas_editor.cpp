#include "editor/canvas_editor.h"

#include <algorithm>

#include "editor/layout.h"
#include "editor/shapes.h"

namespace pelorin {

namespace {

constexpr bool isOdd(int value) { return value % 2 != 0; }

// The colour of an unset cell outside the selection: a checkerboard.
constexpr Rgb plainUnsetColour(int x, int y) { return isOdd(x + y) ? colour::kWhite : colour::kSilver; }

Rect previewRectOfCells(const Rect& cells) { return cells.translated(kPreviewOrigin.x, kPreviewOrigin.y); }

std::size_t kindIndex(LogoKind kind) { return static_cast<std::size_t>(kind) - 1; }

constexpr std::array<LogoKind, 3> kKinds = {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator};

// What a user sees change: the kind, the pictures, the selection's place.
// The buffers alone change unseen (drawing a selection refills them).
bool visiblyDiffers(const EditSnapshot& a, const EditSnapshot& b) {
    return a.kind != b.kind || a.canvases != b.canvases || a.selection != b.selection;
}

std::string_view nameOf(Tool tool) {
    for (const ToolButton& button : ToolPalette::kTools)
        if (button.tool == tool) return button.name;
    return {};
}

}  // namespace

CanvasEditor::CanvasEditor(CPelorinDoc& document, DrawingSurface& surface) : document_(document), surface_(surface) {
    for (LogoKind kind : kKinds) markSaved(kind);
}

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

Point CanvasEditor::maxOrigin() const {
    const auto [w, h] = size();
    return {std::max(0, w * cellSize_ - clientSize_.width), std::max(0, h * cellSize_ - clientSize_.height)};
}

int CanvasEditor::fitCellSize(LogoKind kind) const {
    const auto [w, h] = sizeOf(kind);
    const int fit = std::min(room_.width / w, room_.height / h);
    return std::clamp(fit, kMinCellSize, kMaxFitCellSize);
}

void CanvasEditor::setClientSize(Size size) {
    clientSize_ = size;
    const Point limit = maxOrigin();
    origin_ = {std::clamp(origin_.x, 0, limit.x), std::clamp(origin_.y, 0, limit.y)};
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

void CanvasEditor::redrawAll() { surface_.repaintNow(clientRect()); }

void CanvasEditor::repaintCells(const Rect& cells) {
    if (cells.isEmpty()) return;
    surface_.repaintNow(cellRect(cells));
    surface_.repaintPreviewNow(previewRectOfCells(cells));
}

void CanvasEditor::repaintPreviewOfAllKinds() { surface_.repaintPreviewNow(previewAreaOfAllKinds()); }

// ---------------------------------------------------------------- stylus

void CanvasEditor::stylusDown(Point point, Tool tool, StylusInput input) {
    finishGesture();
    tracking_ = true;
    lastPoint_ = point;
    startGesture(point, tool, input);
}

void CanvasEditor::startGesture(Point point, Tool tool, StylusInput input) {
    gestureTool_ = tool;
    ink_ = input.clear ? 0 : 1;
    switch (tool) {
        case Tool::Eraser:
            ink_ = 0;  // with either button
            [[fallthrough]];
        case Tool::Pen:
            beginEditOfGesture(nameOf(tool));
            gesture_ = Gesture::Stroke;
            strokeCell_ = cellAt(point);
            setCellDirectly(strokeCell_, ink_);
            break;
        case Tool::Moving:
            gesture_ = Gesture::Pan;
            break;
        case Tool::Selection:
            selectionDown(point);
            if (draggingSelection_) {
                beginEditOfGesture("Move selection");
                gesture_ = Gesture::DragSelection;
            } else {
                gesture_ = Gesture::DrawSelection;
            }
            break;
        case Tool::Line:
        case Tool::Rectangle: {
            beginEditOfGesture(nameOf(tool));
            gesture_ = Gesture::Shape;
            anchor_ = cellAt(point);
            const auto values = canvas().values();
            shapeBase_.assign(values.begin(), values.end());
            shape_.clear();
            drawShape(point, input.constrain);
            break;
        }
        case Tool::Fill:
            beginEditOfGesture(nameOf(tool));
            gesture_ = Gesture::Fill;
            fillAt(point);
            break;
    }
}

void CanvasEditor::stylusMove(Point point, Tool tool, StylusInput input) {
    if (!tracking_ || point == lastPoint_) return;
    if (tool != gestureTool_) {
        finishGesture();
        return;
    }
    switch (gesture_) {
        case Gesture::Stroke:
            strokeTo(point);
            break;
        case Gesture::Pan:
            pan(point);
            break;
        case Gesture::DrawSelection:
            extendSelection(point);
            break;
        case Gesture::DragSelection:
            dragSelection(point);
            break;
        case Gesture::Shape:
            drawShape(point, input.constrain);
            break;
        case Gesture::Fill:
        case Gesture::None:
            break;
    }
}

void CanvasEditor::stylusUp(Point /*point*/, Tool /*tool*/, StylusInput /*input*/) { finishGesture(); }

void CanvasEditor::finishGesture() {
    const Gesture gesture = gesture_;
    gesture_ = Gesture::None;
    tracking_ = false;
    switch (gesture) {
        case Gesture::None:
            return;
        case Gesture::DrawSelection:
            liftSelection();
            break;
        case Gesture::Shape:
            // While a selection is lifted, the next drag rebuilds the canvas
            // from its buffers: the shape goes into them too.
            for (const Point cell : shape_) selection_.recordCell(canvas(), cell, ink_);
            shape_.clear();
            shapeBase_.clear();
            break;
        case Gesture::Stroke:
        case Gesture::Pan:
        case Gesture::DragSelection:
        case Gesture::Fill:
            break;
    }
    commitEdit();
}

// ---------------------------------------------------------------- tools

void CanvasEditor::paintCell(Point point, std::int32_t value) { setCellDirectly(cellAt(point), value != 0 ? 1 : 0); }

void CanvasEditor::strokeTo(Point point) {
    const Point cell = cellAt(point);
    if (cell == strokeCell_) return;
    const std::vector<Point> cells = lineCells(strokeCell_, cell);
    // The first cell is the last one drawn.
    for (std::size_t i = 1; i < cells.size(); ++i) setCellDirectly(cells[i], ink_);
    strokeCell_ = cell;
}

void CanvasEditor::setCellDirectly(Point cell, std::int32_t value) {
    Canvas& c = canvas();
    if (!c.contains(cell.x, cell.y)) return;
    c.at(cell.x, cell.y) = value;
    // While a selection is lifted, a drag rebuilds the canvas from the two
    // buffers; the stroke goes into them too, so the drag keeps it.
    selection_.recordCell(c, cell, value);
    // The cell is drawn directly, in the normal colours even inside the
    // selection, until its next repaint.
    surface_.fillCell(cellRect({cell.x, cell.y, cell.x + 1, cell.y + 1}),
                      value ? colour::kBlack : plainUnsetColour(cell.x, cell.y));
    surface_.setPreviewPixel({kPreviewOrigin.x + cell.x, kPreviewOrigin.y + cell.y},
                             value ? colour::kBlack : colour::kPreviewGrey);
}

void CanvasEditor::drawShape(Point point, bool constrain) {
    const bool line = gestureTool_ == Tool::Line;
    Point end = cellAt(point);
    if (constrain) end = line ? constrainLine(anchor_, end) : constrainSquare(anchor_, end);
    std::vector<Point> cells = line ? lineCells(anchor_, end) : rectangleOutline(anchor_, end);

    Canvas& c = canvas();
    const Rect onCanvas{0, 0, c.width(), c.height()};
    // The shape drawn before goes, the canvas under it as it was at the start.
    const Rect old = boundsOf(shape_).intersected(onCanvas);
    for (int x = old.left; x < old.right; ++x)
        for (int y = old.top; y < old.bottom; ++y)
            c.at(x, y) = shapeBase_[static_cast<std::size_t>(x * c.height() + y)];
    for (const Point cell : cells)
        if (c.contains(cell.x, cell.y)) c.at(cell.x, cell.y) = ink_;
    shape_ = std::move(cells);
    repaintCells(old.united(boundsOf(shape_).intersected(onCanvas)));
}

void CanvasEditor::fillAt(Point point) {
    const std::vector<Point> cells = floodFill(canvas(), cellAt(point), ink_);
    for (const Point cell : cells) selection_.recordCell(canvas(), cell, ink_);
    repaintCells(boundsOf(cells));
}

void CanvasEditor::pan(Point point) {
    const int dx = lastPoint_.x - point.x;
    const int dy = lastPoint_.y - point.y;
    if (scrollView(dx, dy)) lastPoint_ = point;
}

void CanvasEditor::panBy(int dx, int dy) { scrollView(dx, dy); }

bool CanvasEditor::scrollView(int dx, int dy) {
    const auto [w, h] = size();
    const int canvasWidth = w * cellSize_;
    const int canvasHeight = h * cellSize_;
    const int cw = clientSize_.width;
    const int ch = clientSize_.height;

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
    if (dx == 0 && dy == 0) return false;

    origin_.x += dx;
    origin_.y += dy;
    surface_.viewChanged();

    // What is on screen moves with the picture; only the strips it uncovers
    // are painted.
    surface_.scrollContent(-dx, -dy);
    const Rect horizontalStrip = dy >= 0 ? Rect{0, ch - dy, cw, ch} : Rect{0, 0, cw, -dy};
    const Rect verticalStrip = dx >= 0 ? Rect{cw - dx, 0, cw, ch} : Rect{0, 0, -dx, ch};
    if (!horizontalStrip.isEmpty()) surface_.repaintNow(horizontalStrip);
    if (!verticalStrip.isEmpty()) surface_.repaintNow(verticalStrip);
    return true;
}

bool CanvasEditor::outsideClient(Point p) const {
    return p.x < 0 || p.x >= clientSize_.width || p.y < 0 || p.y >= clientSize_.height;
}

void CanvasEditor::selectionDown(Point point) {
    const Point cell = cellAt(point);
    if (selection_.contains(cell)) {
        draggingSelection_ = true;
        return;
    }
    draggingSelection_ = false;
    const Rect previous = selection_.rect();
    selection_.hide();
    if (!previous.isEmpty()) surface_.repaintNow(cellRect(previous));
    // The tapped cell is the anchor: the selection spans it and the cell
    // under the stylus, in whichever direction the stylus goes.
    anchor_ = cell;
    selection_.setRect({cell.x, cell.y, cell.x + 1, cell.y + 1});
    surface_.repaintNow(cellRect(selection_.rect()));
}

void CanvasEditor::extendSelection(Point point) {
    const auto [w, h] = size();
    Point cell = cellAt(point);
    cell.x = std::clamp(cell.x, 0, w - 1);
    cell.y = std::clamp(cell.y, 0, h - 1);

    const Rect a = selection_.rect();
    const Rect b = spanOf(anchor_, cell);
    selection_.setRect(b);
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
        if (!strip.isEmpty()) surface_.repaintNow(cellRect(strip));

    // Beyond the window's edge the view scrolls one cell toward the stylus
    // per move.
    lastPoint_ = point;
    if (point.x > clientSize_.width) lastPoint_.x += cellSize_;
    if (point.x < 0) lastPoint_.x -= cellSize_;
    if (point.y > clientSize_.height) lastPoint_.y += cellSize_;
    if (point.y < 0) lastPoint_.y -= cellSize_;
    if (outsideClient(point)) pan(point);
}

void CanvasEditor::liftSelection() { selection_.lift(canvas()); }

void CanvasEditor::dragSelection(Point point) {
    Point old = lastPoint_;
    lastPoint_ = point;
    if (point.x > clientSize_.width) {
        lastPoint_.x += cellSize_;
        old.x -= cellSize_;
    }
    if (point.x < 0) {
        lastPoint_.x -= cellSize_;
        old.x += cellSize_;
    }
    if (point.y > clientSize_.height) {
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

    const Point d = selection_.limitMove(to.x - from.x, to.y - from.y, size());
    moveSelectionShown(d.x, d.y);
    lastPoint_ = point;
}

void CanvasEditor::moveSelectionShown(int dx, int dy) {
    const Rect oldClient = cellRect(selection_.rect());
    const Rect oldPreview = previewRectOfCells(selection_.rect());
    selection_.moveBy(canvas(), dx, dy);
    surface_.repaintNow(oldClient);
    surface_.repaintNow(cellRect(selection_.rect()));
    surface_.repaintPreviewNow(oldPreview);
    surface_.repaintPreviewNow(previewRectOfCells(selection_.rect()));
}

// ---------------------------------------------------------------- commands

void CanvasEditor::hideSelection() {
    finishGesture();
    selection_.hide();
    redrawAll();
}

void CanvasEditor::copySelection() {
    finishGesture();
    beginEditOfGesture("Copy");
    Canvas& c = canvas();
    selection_.takeBackground(c);
    // The copy goes to the first wholly visible column, at the top row.
    const Rect r = selection_.rect();
    const int left = (origin_.x + cellSize_ - 1) / cellSize_;
    selection_.setRect({left, 0, left + r.width(), r.height()});
    selection_.stamp(c);
    surface_.repaintPreviewNow(previewRect(kind_));
    redrawAll();
    commitEdit();
}

void CanvasEditor::deleteSelection() {
    finishGesture();
    beginEditOfGesture("Delete");
    selection_.deleteContent(canvas());
    surface_.repaintPreviewNow(previewRect(kind_));
    redrawAll();
    commitEdit();
}

void CanvasEditor::nudgeSelection(int dx, int dy) {
    finishGesture();
    if (selection_.isEmpty()) return;
    const Point d = selection_.limitMove(dx, dy, size());
    if (d.x == 0 && d.y == 0) return;
    beginEditOfGesture("Move selection");
    moveSelectionShown(d.x, d.y);
    commitEdit();
}

void CanvasEditor::setCanvasKind(LogoKind kind) {
    finishGesture();
    const auto before = size();
    selection_.hide();
    draggingSelection_ = false;
    showKind(kind);
    redrawAll();
    // The view draws only the preview and its frame: repainting the larger of
    // the old and the new frame covers everything that changed.
    const auto after = size();
    const Rect frame = previewFrameRect(kind);
    surface_.repaintPreviewNow(
        {frame.left, frame.top, std::max(before.width, after.width) + 86, std::max(before.height, after.height) + 162});
}

void CanvasEditor::showKind(LogoKind kind) {
    kind_ = kind;
    origin_ = {0, 0};
    // Past the buttons' steps only while the new canvas fits too.
    cellSize_ = std::min(cellSize_, maxCellSize());
    surface_.viewChanged();
}

void CanvasEditor::zoomIn() {
    const int c = cellSize_;
    if (c >= maxCellSize()) return;
    const float ratio = static_cast<float>(c + 1) / static_cast<float>(c);
    origin_.x = static_cast<int>(static_cast<float>(origin_.x) * ratio);
    origin_.y = static_cast<int>(static_cast<float>(origin_.y) * ratio);
    cellSize_ = c + 1;
    surface_.viewChanged();
    redrawAll();
}

void CanvasEditor::zoomOut() {
    const int c = cellSize_;
    if (c <= kMinCellSize) return;
    const float ratio = static_cast<float>(c - 1) / static_cast<float>(c);
    origin_.x = static_cast<int>(static_cast<float>(origin_.x) * ratio);
    origin_.y = static_cast<int>(static_cast<float>(origin_.y) * ratio);
    cellSize_ = c - 1;
    surface_.viewChanged();
    redrawAll();
}

void CanvasEditor::fitToWindow() {
    finishGesture();
    cellSize_ = fitCellSize();
    origin_ = {0, 0};
    surface_.viewChanged();
    redrawAll();
}

void CanvasEditor::dropSelection() {
    selection_.hide();
    draggingSelection_ = false;
}

// ---------------------------------------------------------------- from elsewhere

void CanvasEditor::placeFloating(const Canvas& block, std::string_view label, bool transparent) {
    finishGesture();
    beginEditOfGesture(label);
    const auto [w, h] = size();
    const int width = std::min(block.width(), w);
    const int height = std::min(block.height(), h);
    const int firstColumn = (origin_.x + cellSize_ - 1) / cellSize_;
    const int firstRow = (origin_.y + cellSize_ - 1) / cellSize_;
    const Point at{std::max(0, std::min(firstColumn, w - width)), std::max(0, std::min(firstRow, h - height))};
    selection_.place(canvas(), block, at, transparent);
    draggingSelection_ = false;
    surface_.repaintPreviewNow(previewRect(kind_));
    redrawAll();
    commitEdit();
}

void CanvasEditor::replaceCanvas(LogoKind kind, const Canvas& content, std::string_view label) {
    finishGesture();
    beginEditOfGesture(label);
    Canvas& target = document_.canvas(kind);
    target.clear();
    const int width = std::min(target.width(), content.width());
    const int height = std::min(target.height(), content.height());
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) target.set(x, y, content.isSet(x, y));
    if (kind != kind_) showKind(kind);
    dropSelection();
    redrawAll();
    repaintPreviewOfAllKinds();
    commitEdit();
}

// ---------------------------------------------------------------- undo and redo

void CanvasEditor::beginEdit(std::string_view label) {
    finishGesture();
    beginEditOfGesture(label);
}

void CanvasEditor::beginEditOfGesture(std::string_view label) {
    if (pending_) commitEdit();
    pending_ = PendingEdit{std::string(label), snapshot()};
}

bool CanvasEditor::commitEdit() {
    if (!pending_) return false;
    PendingEdit edit = std::move(*pending_);
    pending_.reset();
    EditSnapshot after = snapshot();
    if (!visiblyDiffers(edit.before, after)) return false;
    history_.push({std::move(edit.label), std::move(edit.before), std::move(after)});
    return true;
}

void CanvasEditor::cancelEdit() { pending_.reset(); }

bool CanvasEditor::undo() {
    if (pending_) {
        // The gesture or command in progress goes back to its start.
        const EditSnapshot before = std::move(pending_->before);
        pending_.reset();
        gesture_ = Gesture::None;
        tracking_ = false;
        shape_.clear();
        shapeBase_.clear();
        restore(before);
        return true;
    }
    finishGesture();
    const EditStep* step = history_.undo();
    if (!step) return false;
    restore(step->before);
    return true;
}

bool CanvasEditor::redo() {
    if (pending_) return false;
    finishGesture();
    const EditStep* step = history_.redo();
    if (!step) return false;
    restore(step->after);
    return true;
}

void CanvasEditor::restore(const EditSnapshot& snapshot) {
    const LogoKind kind = snapshot.restore(document_, selection_);
    draggingSelection_ = false;
    // A step of another canvas shows that canvas, from its top-left corner.
    if (kind != kind_) showKind(kind);
    redrawAll();
    repaintPreviewOfAllKinds();
}

// ---------------------------------------------------------------- saving

void CanvasEditor::markSaved(LogoKind kind) { saved_[kindIndex(kind)] = packCells(document_.canvas(kind).values()); }

bool CanvasEditor::differsFromSaved(LogoKind kind) const {
    return packCells(document_.canvas(kind).values()) != saved_[kindIndex(kind)];
}

std::vector<LogoKind> CanvasEditor::unsavedKinds() const {
    std::vector<LogoKind> kinds;
    for (LogoKind kind : kKinds) {
        const CellBits now = packCells(document_.canvas(kind).values());
        if (now.any() && now != saved_[kindIndex(kind)]) kinds.push_back(kind);
    }
    return kinds;
}

}  // namespace pelorin
