#pragma once

#include <cstddef>

namespace pelorin {

// The three canvases a logo can be drawn on. The numbers are stored and shown
// elsewhere, so they are fixed.
enum class LogoKind : int {
    Operator = 1,       // 72 x 14, operator logo and caller-group graphic
    Picture = 2,        // 72 x 28, picture message
    LargeOperator = 3,  // 78 x 21, operator logo over two messages
};

struct CanvasSize {
    int width;
    int height;
    constexpr int pixels() const { return width * height; }
    // Bytes of the packed form: one bit a pixel, rows running on unpadded.
    constexpr std::size_t packedBytes() const { return static_cast<std::size_t>((pixels() + 7) / 8); }
};

constexpr CanvasSize sizeOf(LogoKind kind) {
    switch (kind) {
        case LogoKind::Operator:
            return {72, 14};
        case LogoKind::Picture:
            return {72, 28};
        case LogoKind::LargeOperator:
            return {78, 21};
    }
    return {0, 0};
}

constexpr bool isLogoKind(int value) { return value >= 1 && value <= 3; }

}  // namespace pelorin
