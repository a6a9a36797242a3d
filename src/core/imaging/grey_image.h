#pragma once

#include <cstdint>
#include <vector>

namespace pelorin {

// A picture as 8-bit grey levels, rows from the top, 0 black to 255 white.
// Every picture that comes in is turned into this before it becomes a logo.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height, row by row

    GreyImage() = default;
    GreyImage(int w, int h, std::uint8_t fill = 255)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

    std::uint8_t at(int x, int y) const { return pixels[index(x, y)]; }
    std::uint8_t& at(int x, int y) { return pixels[index(x, y)]; }
    bool empty() const { return width <= 0 || height <= 0; }

    friend bool operator==(const GreyImage&, const GreyImage&) = default;

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
    }
};

}  // namespace pelorin
