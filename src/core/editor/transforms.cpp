#include "editor/transforms.h"

#include <vector>

namespace pelorin {

std::string_view transformLabel(Transform transform) {
    switch (transform) {
        case Transform::FlipHorizontally:
            return "Flip horizontally";
        case Transform::FlipVertically:
            return "Flip vertically";
        case Transform::Rotate180:
            return "Rotate 180°";
        case Transform::InvertColours:
            return "Invert colours";
        case Transform::ShiftLeft:
        case Transform::ShiftRight:
        case Transform::ShiftUp:
        case Transform::ShiftDown:
            return "Shift";
    }
    return {};
}

void applyTransform(std::span<std::int32_t> cells, int width, int height, int stride, Transform transform) {
    if (width <= 0 || height <= 0 || stride < height) return;
    if (static_cast<std::size_t>((width - 1) * stride + height) > cells.size()) return;
    const auto at = [&](int x, int y) -> std::int32_t& { return cells[static_cast<std::size_t>(x * stride + y)]; };
    // Each cell takes the value of the cell it comes from.
    std::vector<std::int32_t> before(static_cast<std::size_t>(width * height));
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) before[static_cast<std::size_t>(x * height + y)] = at(x, y) != 0 ? 1 : 0;
    const auto was = [&](int x, int y) { return before[static_cast<std::size_t>(x * height + y)]; };
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) {
            std::int32_t value = 0;
            switch (transform) {
                case Transform::FlipHorizontally:
                    value = was(width - 1 - x, y);
                    break;
                case Transform::FlipVertically:
                    value = was(x, height - 1 - y);
                    break;
                case Transform::Rotate180:
                    value = was(width - 1 - x, height - 1 - y);
                    break;
                case Transform::InvertColours:
                    value = 1 - was(x, y);
                    break;
                case Transform::ShiftLeft:
                    value = was((x + 1) % width, y);
                    break;
                case Transform::ShiftRight:
                    value = was((x + width - 1) % width, y);
                    break;
                case Transform::ShiftUp:
                    value = was(x, (y + 1) % height);
                    break;
                case Transform::ShiftDown:
                    value = was(x, (y + height - 1) % height);
                    break;
            }
            at(x, y) = value;
        }
}

}  // namespace pelorin
