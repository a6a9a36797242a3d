#pragma once

#include <vector>

#include "document/canvas.h"
#include "editor/geometry.h"

namespace pelorin {

// Cell geometry of the drawing tools, in cell coordinates.

// Every cell of the straight line from `from` to `to`, both included, in
// order from `from` (Bresenham: one cell a step along the longer axis).
std::vector<Point> lineCells(Point from, Point to);

// The end point of a line from anchor towards `to` kept to 0, 45 or 90
// degrees: the nearest of the eight directions.
Point constrainLine(Point anchor, Point to);

// The smallest rectangle that holds both cells (right and bottom exclusive).
Rect spanOf(Point a, Point b);

// The corner opposite anchor of the square towards `to` whose side is the
// larger of the two distances.
Point constrainSquare(Point anchor, Point to);

// The outline of the rectangle with corners a and b (both included), each
// cell once.
std::vector<Point> rectangleOutline(Point a, Point b);

// The outline of the ellipse that fills the rectangle with corners a and b
// (both included), each cell once: an integer midpoint walk that keeps even
// widths and heights symmetric.
std::vector<Point> ellipseOutline(Point a, Point b);

// Every cell of the rectangle, or of the ellipse, with corners a and b (both
// included) that lies inside clip: a shape dragged far past the canvas costs
// no more than the canvas.
std::vector<Point> filledRectangle(Point a, Point b, const Rect& clip);
std::vector<Point> filledEllipse(Point a, Point b, const Rect& clip);

// The 4-connected region of cells that share the start cell's state, the
// canvas unchanged (none when the start is off the canvas).
std::vector<Point> floodRegion(const Canvas& canvas, Point start);

// Sets the 4-connected region of cells that share the start cell's state to
// value. Returns the cells changed (none when the start is off the canvas or
// already holds that state).
std::vector<Point> floodFill(Canvas& canvas, Point start, std::int32_t value);

// The smallest rectangle of cells holding all of them (empty for none).
Rect boundsOf(const std::vector<Point>& cells);

}  // namespace pelorin
