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

std::vector<Point> ellipseOutline(Point a, Point b) {
    int x0 = std::min(a.x, b.x);
    int x1 = std::max(a.x, b.x);
    int y0 = std::min(a.y, b.y);
    int y1 = std::max(a.y, b.y);
    const std::int64_t width = x1 - x0;
    const std::int64_t height = y1 - y0;
    std::int64_t oddHeight = height & 1;
    // The error terms of the midpoint walk in whole numbers: four times the
    // distances, scaled by the squared diameters.
    std::int64_t dx = 4 * (1 - width) * height * height;
    std::int64_t dy = 4 * (oddHeight + 1) * width * width;
    std::int64_t error = dx + dy + oddHeight * width * width;
    const std::int64_t stepX = 8 * height * height;
    const std::int64_t stepY = 8 * width * width;
    y0 += static_cast<int>((height + 1) / 2);
    y1 = y0 - static_cast<int>(oddHeight);

    std::vector<Point> cells;
    const auto add = [&cells](int x, int y) { cells.push_back({x, y}); };
    do {
        add(x1, y0);
        add(x0, y0);
        add(x0, y1);
        add(x1, y1);
        const std::int64_t twice = 2 * error;
        if (twice <= dy) {
            ++y0;
            --y1;
            dy += stepY;
            error += dy;
        }
        if (twice >= dx || 2 * error > dy) {
            ++x0;
            --x1;
            dx += stepX;
            error += dx;
        }
    } while (x0 <= x1);
    // A flat ellipse (one or two columns wide) stops early: finish its tips.
    while (y0 - y1 <= height) {
        add(x0 - 1, y0);
        add(x1 + 1, y0++);
        add(x0 - 1, y1);
        add(x1 + 1, y1--);
    }
    // The four quadrants meet on the middle rows and columns: each cell once.
    std::sort(cells.begin(), cells.end(), [](Point p, Point q) { return p.x != q.x ? p.x < q.x : p.y < q.y; });
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    return cells;
}

std::vector<Point> filledRectangle(Point a, Point b, const Rect& clip) {
    const Rect r = spanOf(a, b).intersected(clip);
    std::vector<Point> cells;
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y) cells.push_back({x, y});
    return cells;
}

std::vector<Point> filledEllipse(Point a, Point b, const Rect& clip) {
    // Each column of the outline spans from its top cell to its bottom cell.
    const std::vector<Point> outline = ellipseOutline(a, b);
    std::vector<Point> cells;
    for (std::size_t i = 0; i < outline.size();) {
        const int x = outline[i].x;
        int top = outline[i].y;
        int bottom = top;
        for (; i < outline.size() && outline[i].x == x; ++i) bottom = std::max(bottom, outline[i].y);
        if (x < clip.left || x >= clip.right) continue;
        for (int y = std::max(top, clip.top); y <= bottom && y < clip.bottom; ++y) cells.push_back({x, y});
    }
    return cells;
}

std::vector<Point> floodRegion(const Canvas& canvas, Point start) {
    std::vector<Point> region;
    if (!canvas.contains(start.x, start.y)) return region;
    const bool from = canvas.isSet(start.x, start.y);
    std::vector<bool> seen(static_cast<std::size_t>(canvas.width() * canvas.height()), false);
    const auto mark = [&](Point p) { seen[static_cast<std::size_t>(p.x * canvas.height() + p.y)] = true; };
    const auto marked = [&](Point p) { return seen[static_cast<std::size_t>(p.x * canvas.height() + p.y)]; };
    std::vector<Point> pending{start};
    mark(start);
    while (!pending.empty()) {
        const Point p = pending.back();
        pending.pop_back();
        region.push_back(p);
        for (const Point next : {Point{p.x - 1, p.y}, Point{p.x + 1, p.y}, Point{p.x, p.y - 1}, Point{p.x, p.y + 1}}) {
            if (!canvas.contains(next.x, next.y) || marked(next) || canvas.isSet(next.x, next.y) != from) continue;
            mark(next);
            pending.push_back(next);
        }
    }
    return region;
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
    for (const Point p : cells)
        r = {std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x + 1), std::max(r.bottom, p.y + 1)};
    return r;
}

}  // namespace pelorin
