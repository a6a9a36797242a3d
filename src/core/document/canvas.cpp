#include "document/canvas.h"

#include <algorithm>

namespace pelorin {

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), values_(static_cast<std::size_t>(width * height), 0) {}

void Canvas::clear() { std::fill(values_.begin(), values_.end(), 0); }

}  // namespace pelorin
