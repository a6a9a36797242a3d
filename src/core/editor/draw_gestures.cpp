#include "editor/draw_gestures.h"

#include "editor/fill_pattern.h"
#include "editor/shapes.h"

namespace pelorin {

void StrokeGesture::down(Point point, StylusInput input) {
    ink_ = tool_ == Tool::Eraser || input.clear ? 0 : 1;  // the eraser clears with either button
    ctx_.model.begin(toolName(tool_));
    strokeCell_ = ctx_.view.cellAt(point);
    for (const Point image : mirrorImages(strokeCell_, ctx_.view.canvasSize(), ctx_.options))
        ctx_.screen.setCellDirectly(image, ink_);
}

void StrokeGesture::move(Point point, StylusInput /*input*/) {
    const Point cell = ctx_.view.cellAt(point);
    if (cell == strokeCell_) return;
    const std::vector<Point> cells = lineCells(strokeCell_, cell);
    // The first cell is the last one drawn.
    for (std::size_t i = 1; i < cells.size(); ++i)
        for (const Point image : mirrorImages(cells[i], ctx_.view.canvasSize(), ctx_.options))
            ctx_.screen.setCellDirectly(image, ink_);
    strokeCell_ = cell;
}

void InvertStrokeGesture::down(Point point, StylusInput /*input*/) {
    ctx_.model.begin(toolName(Tool::InvertPen));
    const Canvas& c = ctx_.model.canvas();
    flipped_.assign(static_cast<std::size_t>(c.width() * c.height()), false);
    strokeCell_ = ctx_.view.cellAt(point);
    flip(strokeCell_);
}

void InvertStrokeGesture::move(Point point, StylusInput /*input*/) {
    const Point cell = ctx_.view.cellAt(point);
    if (cell == strokeCell_) return;
    const std::vector<Point> cells = lineCells(strokeCell_, cell);
    for (std::size_t i = 1; i < cells.size(); ++i) flip(cells[i]);
    strokeCell_ = cell;
}

void InvertStrokeGesture::flip(Point cell) {
    const Canvas& c = ctx_.model.canvas();
    for (const Point image : mirrorImages(cell, ctx_.view.canvasSize(), ctx_.options)) {
        if (!c.contains(image.x, image.y)) continue;
        const auto index = static_cast<std::size_t>(image.x * c.height() + image.y);
        if (flipped_[index]) continue;
        flipped_[index] = true;
        ctx_.screen.setCellDirectly(image, c.isSet(image.x, image.y) ? 0 : 1);
    }
}

void ShapeGesture::down(Point point, StylusInput input) {
    ink_ = input.clear ? 0 : 1;
    ctx_.model.begin(toolName(tool_));
    anchor_ = ctx_.view.cellAt(point);
    const auto values = ctx_.model.canvas().values();
    shapeBase_.assign(values.begin(), values.end());
    shape_.clear();
    draw(point, input.constrain);
}

void ShapeGesture::draw(Point point, bool constrain) {
    const bool line = tool_ == Tool::Line;
    Point end = ctx_.view.cellAt(point);
    if (constrain) end = line ? constrainLine(anchor_, end) : constrainSquare(anchor_, end);

    Canvas& c = ctx_.model.canvas();
    const Rect onCanvas{0, 0, c.width(), c.height()};
    const bool filled = ctx_.options.filled;
    std::vector<Point> cells;
    if (line)
        cells = lineCells(anchor_, end);
    else if (tool_ == Tool::Ellipse)
        cells = filled ? filledEllipse(anchor_, end, onCanvas) : ellipseOutline(anchor_, end);
    else
        cells = filled ? filledRectangle(anchor_, end, onCanvas) : rectangleOutline(anchor_, end);
    cells = withMirrorImages(cells, ctx_.view.canvasSize(), ctx_.options);

    // The shape drawn before goes, the canvas under it as it was at the start.
    const Rect old = boundsOf(shape_).intersected(onCanvas);
    for (int x = old.left; x < old.right; ++x)
        for (int y = old.top; y < old.bottom; ++y)
            c.at(x, y) = shapeBase_[static_cast<std::size_t>(x * c.height() + y)];
    for (const Point cell : cells)
        if (c.contains(cell.x, cell.y)) c.at(cell.x, cell.y) = ink_;
    shape_ = std::move(cells);
    ctx_.screen.repaintCells(old.united(boundsOf(shape_).intersected(onCanvas)));
}

void ShapeGesture::up() {
    // While a selection is lifted, the next drag rebuilds the canvas from its
    // buffers: the shape goes into them too.
    for (const Point cell : shape_) ctx_.model.selection().recordCell(ctx_.model.canvas(), cell, ink_);
}

void FillGesture::down(Point point, StylusInput input) {
    const std::int32_t ink = input.clear ? 0 : 1;
    ctx_.model.begin(toolName(Tool::Fill));
    Canvas& c = ctx_.model.canvas();
    std::vector<Point> changed;
    // The reflected fills start from the reflected cells, each on the canvas
    // as the fills before it left it.
    for (const Point start : mirrorImages(ctx_.view.cellAt(point), ctx_.view.canvasSize(), ctx_.options)) {
        const std::vector<Point> cells = patternFill(c, start, ink, ctx_.options.fillPattern);
        changed.insert(changed.end(), cells.begin(), cells.end());
    }
    for (const Point cell : changed) ctx_.model.selection().recordCell(c, cell, c.at(cell.x, cell.y));
    ctx_.screen.repaintCells(boundsOf(changed));
}

}  // namespace pelorin
