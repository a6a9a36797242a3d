#include "editor/drawing_options.h"

#include <algorithm>

namespace pelorin {

std::vector<Point> mirrorImages(Point cell, CanvasSize size, const DrawingOptions& options) {
    std::vector<Point> images{cell};
    const auto add = [&images](Point p) {
        if (std::find(images.begin(), images.end(), p) == images.end()) images.push_back(p);
    };
    const Point across{size.width - 1 - cell.x, cell.y};
    const Point down{cell.x, size.height - 1 - cell.y};
    if (options.mirrorHorizontally) add(across);
    if (options.mirrorVertically) add(down);
    if (options.mirrorHorizontally && options.mirrorVertically) add({across.x, down.y});
    return images;
}

std::vector<Point> withMirrorImages(const std::vector<Point>& cells, CanvasSize size, const DrawingOptions& options) {
    if (!options.mirrorHorizontally && !options.mirrorVertically) return cells;
    std::vector<Point> all;
    all.reserve(cells.size() * 4);
    for (const Point cell : cells)
        for (const Point image : mirrorImages(cell, size, options)) all.push_back(image);
    std::sort(all.begin(), all.end(), [](Point p, Point q) { return p.x != q.x ? p.x < q.x : p.y < q.y; });
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return all;
}

}  // namespace pelorin
