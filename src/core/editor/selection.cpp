#include "editor/selection.h"

#include <algorithm>

namespace pelorin {

std::optional<std::size_t> Selection::floatingIndex(int x, int y) const {
    const int column = x - rect_.left;
    const int row = y - rect_.top;
    if (column < 0 || row < 0 || row >= kBufferStride) return std::nullopt;
    const int index = column * kBufferStride + row;
    if (index >= kBufferCells) return std::nullopt;
    return static_cast<std::size_t>(index);
}

void Selection::lift(Canvas& canvas) {
    transparent_ = false;
    const auto forEachSelectedCell = [&](auto&& action) {
        for (int x = rect_.left; x < rect_.right; ++x)
            for (int y = rect_.top; y < rect_.bottom; ++y)
                if (const auto index = floatingIndex(x, y)) action(x, y, *index);
    };
    forEachSelectedCell([&](int x, int y, std::size_t index) {
        if (canvas.contains(x, y)) {
            floating_[index] = canvas.at(x, y);
            canvas.at(x, y) = 0;
        } else {
            floating_[index] = 0;
        }
    });
    takeBackground(canvas);
    forEachSelectedCell([&](int x, int y, std::size_t index) {
        if (canvas.contains(x, y)) canvas.at(x, y) = floating_[index];
    });
}

void Selection::takeBackground(const Canvas& canvas) {
    std::copy(canvas.values().begin(), canvas.values().end(), background_.begin());
}

void Selection::stamp(Canvas& canvas) const {
    for (int x = rect_.left; x < rect_.right; ++x)
        for (int y = rect_.top; y < rect_.bottom; ++y) {
            if (!canvas.contains(x, y)) continue;
            const auto index = floatingIndex(x, y);
            const std::int32_t value = index ? floating_[*index] : 0;
            canvas.at(x, y) =
                value == 0 && transparent_ ? background_[static_cast<std::size_t>(x * canvas.height() + y)] : value;
        }
}

void Selection::restoreBackground(Canvas& canvas) const {
    std::copy_n(background_.begin(), canvas.values().size(), canvas.values().begin());
}

Point Selection::limitMove(int dx, int dy, CanvasSize size) const {
    if (rect_.left + dx < 0) dx = -rect_.left;
    if (rect_.right + dx > size.width) dx = size.width - rect_.right;
    if (rect_.top + dy < 0) dy = -rect_.top;
    if (rect_.bottom + dy > size.height) dy = size.height - rect_.bottom;
    return {dx, dy};
}

void Selection::moveBy(Canvas& canvas, int dx, int dy) {
    restoreBackground(canvas);
    rect_ = rect_.translated(dx, dy);
    stamp(canvas);
}

void Selection::deleteContent(Canvas& canvas) {
    floating_.fill(0);
    for (int x = rect_.left; x < rect_.right; ++x)
        for (int y = rect_.top; y < rect_.bottom; ++y)
            if (canvas.contains(x, y)) canvas.at(x, y) = 0;
    hide();
}

void Selection::recordCell(const Canvas& canvas, Point cell, std::int32_t value) {
    if (isEmpty() || !canvas.contains(cell.x, cell.y)) return;
    if (contains(cell)) {
        if (const auto index = floatingIndex(cell.x, cell.y)) floating_[*index] = value;
    } else {
        background_[static_cast<std::size_t>(cell.x * canvas.height() + cell.y)] = value;
    }
}

void Selection::transformContent(Canvas& canvas, Transform transform) {
    if (isEmpty()) return;
    applyTransform(floating_, rect_.width(), std::min(rect_.height(), kBufferStride), kBufferStride, transform);
    stamp(canvas);
}

void Selection::place(Canvas& canvas, const Canvas& block, Point at, bool transparent) {
    takeBackground(canvas);
    transparent_ = transparent;
    // No canvas is larger than the buffers.
    const int width = std::min(block.width(), canvas.width());
    const int height = std::min(block.height(), canvas.height());
    rect_ = {at.x, at.y, at.x + width, at.y + height};
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            floating_[static_cast<std::size_t>(x * kBufferStride + y)] = block.isSet(x, y) ? 1 : 0;
    stamp(canvas);
}

}  // namespace pelorin
