#include "editor/shapes.h"

#include <algorithm>
#include <cstdlib>

namespace pelorin {

std::vector<Point> lineCells(Point from, Point to) {
    const int dx = std::abs(to.x - from.x);
    const int dy = -std::abs(to.y - from.y);
    const int stepX = from.x < to.x ? 1 : -1;
    const int stepY = from.y < to.y ? 1 : -1;
    std::vector<Point> cells;
    cells.reserve(static_cast<std::size_t>(std::max(dx, -dy)) + 1);
    int error = dx + dy;
    Point p = from;
    for (;;) {
        cells.push_back(p);
        if (p == to) break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            p.y += stepY;
        }
    }
    return cells;
}

Point constrainLine(Point anchor, Point to) {
    const int dx = to.x - anchor.x;
    const int dy = to.y - anchor.y;
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    // tan 22.5 degrees is about 0.414: below it the line is horizontal (or
    // vertical), above it diagonal.
    if (ay * 1000 <= ax * 414) return {to.x, anchor.y};
    if (ax * 1000 <= ay * 414) return {anchor.x, to.y};
    const int d = std::max(ax, ay);
    return {anchor.x + (dx < 0 ? -d : d), anchor.y + (dy < 0 ? -d : d)};
}

Rect spanOf(Point a, Point b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
}

Point constrainSquare(Point anchor, Point to) {
    const int dx = to.x - anchor.x;
    const int dy = to.y - anchor.y;
    const int d = std::max(std::abs(dx), std::abs(dy));
    return {anchor.x + (dx < 0 ? -d : d), anchor.y + (dy < 0 ? -d : d)};
}

std::vector<Point> rectangleOutline(Point a, Point b) {
    const Rect r = spanOf(a, b);
    std::vector<Point> cells;
    for (int x = r.left; x < r.right; ++x) {
        cells.push_back({x, r.top});
        if (r.bottom - 1 != r.top) cells.push_back({x, r.bottom - 1});
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        cells.push_back({r.left, y});
        if (r.right - 1 != r.left) cells.push_back({r.right - 1, y});
    }
    return cells;
}

std::vector<Point> floodFill(Canvas& canvas, Point start, std::int32_t value) {
    std::vector<Point> changed;
    if (!canvas.contains(start.x, start.y)) return changed;
    const bool from = canvas.isSet(start.x, start.y);
    const std::int32_t stored = value != 0 ? 1 : 0;
    if (from == (stored != 0)) return changed;
    std::vector<Point> pending{start};
    canvas.at(start.x, start.y) = stored;
    while (!pending.empty()) {
        const Point p = pending.back();
        pending.pop_back();
        changed.push_back(p);
        for (const Point next : {Point{p.x - 1, p.y}, Point{p.x + 1, p.y}, Point{p.x, p.y - 1}, Point{p.x, p.y + 1}}) {
            if (!canvas.contains(next.x, next.y) || canvas.isSet(next.x, next.y) != from) continue;
            // Marked when found, so that no cell is queued twice.
            canvas.at(next.x, next.y) = stored;
            pending.push_back(next);
        }
    }
    return changed;
}

Rect boundsOf(const std::vector<Point>& cells) {
    if (cells.empty()) return {};
    Rect r{cells.front().x, cells.front().y, cells.front().x + 1, cells.front().y + 1};
    for (const Point p : cells) r = {std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x + 1),
                                     std::max(r.bottom, p.y + 1)};
    return r;
}

}  // namespace pelorin
