#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace pelorin {

// The Edit menu's changes of a whole picture or of the lifted selection.
enum class Transform : int {
    FlipHorizontally,
    FlipVertically,
    Rotate180,
    InvertColours,
    ShiftLeft,  // by one cell, the column that leaves coming in on the other side
    ShiftRight,
    ShiftUp,
    ShiftDown,
};

// The undo step's label of a transform.
std::string_view transformLabel(Transform transform);

// Applies a transform to width x height cells stored column by column,
// stride values a column (the canvas's height, or the selection buffer's).
void applyTransform(std::span<std::int32_t> cells, int width, int height, int stride, Transform transform);

}  // namespace pelorin
