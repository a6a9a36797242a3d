#pragma once

#include <algorithm>
#include <cstdint>

namespace pelorin {

// A point in some window's coordinates (client, view or cell coordinates, as
// the name of the variable says).
struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A width and a height in pixels.
struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle with right and bottom exclusive. right <= left or bottom <= top
// holds nothing.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    constexpr Rect intersected(const Rect& o) const {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
    constexpr Rect translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    constexpr bool intersects(const Rect& o) const { return !intersected(o).isEmpty(); }
    // The smallest rectangle holding both; an empty one adds nothing.
    constexpr Rect united(const Rect& o) const {
        if (isEmpty()) return o;
        if (o.isEmpty()) return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace colour {
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kSilver{192, 192, 192};
inline constexpr Rgb kDarkBlue{0, 0, 192};
inline constexpr Rgb kCyan{0, 255, 255};
inline constexpr Rgb kDarkCyan{0, 192, 192};
inline constexpr Rgb kPreviewGrey{220, 220, 220};
}  // namespace colour

}  // namespace pelorin
