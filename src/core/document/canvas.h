#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "document/logo_kind.h"

namespace pelorin {

// A monochrome pixel grid stored column by column: element [x][y] lives at
// linear index x * height + y. Writers store 0 (clear) or 1 (set); readers
// treat any non-zero value as set.
class Canvas {
public:
    Canvas(int width, int height);
    explicit Canvas(CanvasSize size) : Canvas(size.width, size.height) {}

    int width() const { return width_; }
    int height() const { return height_; }
    CanvasSize size() const { return {width_, height_}; }

    // Raw cell access by [x][y]; callers keep x and y in range.
    std::int32_t& at(int x, int y) { return values_[index(x, y)]; }
    std::int32_t at(int x, int y) const { return values_[index(x, y)]; }
    bool isSet(int x, int y) const { return at(x, y) != 0; }
    void set(int x, int y, bool on) { at(x, y) = on ? 1 : 0; }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    void clear();

    std::span<std::int32_t> values() { return values_; }
    std::span<const std::int32_t> values() const { return values_; }

    friend bool operator==(const Canvas&, const Canvas&) = default;

private:
    std::size_t index(int x, int y) const { return static_cast<std::size_t>(x * height_ + y); }

    int width_;
    int height_;
    std::vector<std::int32_t> values_;
};

}  // namespace pelorin
