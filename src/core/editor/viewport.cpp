#include "editor/viewport.h"

#include <algorithm>

namespace pelorin {

void Viewport::showKind(LogoKind kind) {
    kind_ = kind;
    origin_ = {0, 0};
    // Past the buttons' steps only while the new canvas fits too.
    cellSize_ = std::min(cellSize_, maxCellSize());
}

int Viewport::fitCellSize(LogoKind kind) const {
    const auto [w, h] = sizeOf(kind);
    return std::clamp(std::min(room_.width / w, room_.height / h), kMinCellSize, kMaxFitCellSize);
}

int Viewport::maxCellSize() const { return std::max(kMaxCellSize, fitCellSize(kind_)); }

void Viewport::fitToRoom() {
    cellSize_ = fitCellSize(kind_);
    origin_ = {0, 0};
}

Point Viewport::maxOrigin() const {
    const auto [w, h] = canvasSize();
    return {std::max(0, w * cellSize_ - clientSize_.width), std::max(0, h * cellSize_ - clientSize_.height)};
}

void Viewport::setClientSize(Size size) {
    clientSize_ = size;
    const Point limit = maxOrigin();
    origin_ = {std::clamp(origin_.x, 0, limit.x), std::clamp(origin_.y, 0, limit.y)};
}

Point Viewport::cellAt(Point clientPoint) const {
    return {(clientPoint.x + origin_.x) / cellSize_, (clientPoint.y + origin_.y) / cellSize_};
}

Rect Viewport::cellRect(const Rect& cells) const {
    return {cells.left * cellSize_ - origin_.x, cells.top * cellSize_ - origin_.y, cells.right * cellSize_ - origin_.x,
            cells.bottom * cellSize_ - origin_.y};
}

bool Viewport::outsideClient(Point p) const {
    return p.x < 0 || p.x >= clientSize_.width || p.y < 0 || p.y >= clientSize_.height;
}

Point Viewport::firstWhollyVisibleCell() const {
    return {(origin_.x + cellSize_ - 1) / cellSize_, (origin_.y + cellSize_ - 1) / cellSize_};
}

Point Viewport::limitScroll(int dx, int dy) const {
    const auto [w, h] = canvasSize();
    const int canvasWidth = w * cellSize_;
    const int canvasHeight = h * cellSize_;
    const int cw = clientSize_.width;
    const int ch = clientSize_.height;

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
    return {dx, dy};
}

std::array<Rect, 2> Viewport::exposedStrips(Point d) const {
    const int cw = clientSize_.width;
    const int ch = clientSize_.height;
    const Rect horizontal = d.y >= 0 ? Rect{0, ch - d.y, cw, ch} : Rect{0, 0, cw, -d.y};
    const Rect vertical = d.x >= 0 ? Rect{cw - d.x, 0, cw, ch} : Rect{0, 0, -d.x, ch};
    return {horizontal, vertical};
}

bool Viewport::zoomStep(int step) {
    const int c = cellSize_;
    if (step > 0 ? c >= maxCellSize() : c <= kMinCellSize) return false;
    const int next = c + step;
    const float ratio = static_cast<float>(next) / static_cast<float>(c);
    origin_.x = static_cast<int>(static_cast<float>(origin_.x) * ratio);
    origin_.y = static_cast<int>(static_cast<float>(origin_.y) * ratio);
    cellSize_ = next;
    return true;
}

}  // namespace pelorin
