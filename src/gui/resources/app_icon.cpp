#include "resources/app_icon.h"

#include <array>
#include <string_view>

namespace pelorin {

namespace {

// Pixel art in the sixteen colours of the classic palette, one character a
// pixel: '.' is transparent. A candy-bar phone with a heart on its screen.
QRgb paletteColour(char code) {
    switch (code) {
        case 'k':
            return qRgb(0, 0, 0);
        case 'K':
            return qRgb(128, 128, 128);
        case 'w':
            return qRgb(192, 192, 192);
        case 'W':
            return qRgb(255, 255, 255);
        case 'g':
            return qRgb(0, 128, 0);
        case 'G':
            return qRgb(0, 255, 0);
        case 'b':
            return qRgb(0, 0, 128);
        case 'B':
            return qRgb(0, 0, 255);
        default:
            return qRgba(0, 0, 0, 0);
    }
}

constexpr std::array<std::string_view, 16> kIcon16 = {{
    "................",
    "...........k....",
    "...........k....",
    "...kkkkkkkkkk...",
    "..kBBBBBBBBBBk..",
    "..kBGGGGGGGGbk..",
    "..kBGkkGGkkGbk..",
    "..kBGkkkkkkGbk..",
    "..kBGGkkkkGGbk..",
    "..kBGGGkkGGGbk..",
    "..kBGGGGGGGGbk..",
    "..kBbbbbbbbbbk..",
    "..kBbwbwbwbbbk..",
    "..kBbwbwbwbbbk..",
    "...kkkkkkkkkk...",
    "................",
}};

constexpr std::array<std::string_view, 32> kIcon32 = {{
    "................................", "....................kk..........", "....................kK..........",
    "....................kK..........", ".........kkkkkkkkkkkkkkkk.......", "........kBBBBBBBBBBBBBBBBk......",
    "........kBbbbbbbbbbbbbbbbk......", "........kBbkkkkkkkkkkkkbbk......", "........kBbkGGGGGGGGGGkbbk......",
    "........kBbkGGkkGGkkGGkbbk......", "........kBbkGkkkkkkkkGkbbk......", "........kBbkGkkkkkkkkGkbbk......",
    "........kBbkGGkkkkkkGGkbbk......", "........kBbkGGGkkkkGGGkbbk......", "........kBbkGGGGkkGGGGkbbk......",
    "........kBbkGGGGGGGGGGkbbk......", "........kBbkkkkkkkkkkkkbbk......", "........kBbbbbbbbbbbbbbbbk......",
    "........kBbbbwwwwwwwwbbbbk......", "........kBbbbbbbbbbbbbbbbk......", "........kBbbwwbbwwbbwwbbbk......",
    "........kBbbbbbbbbbbbbbbbk......", "........kBbbwwbbwwbbwwbbbk......", "........kBbbbbbbbbbbbbbbbk......",
    "........kBbbwwbbwwbbwwbbbk......", "........kBbbbbbbbbbbbbbbbk......", "........kBbbwwbbwwbbwwbbbk......",
    "........kBbbbbbbbbbbbbbbbk......", "........kBbbbbbbbbbbbbbbbk......", ".........kkkkkkkkkkkkkkkk.......",
    "................................", "................................",
}};

template <std::size_t N>
QImage drawPixelArt(const std::array<std::string_view, N>& rows) {
    const int size = static_cast<int>(N);
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, paletteColour(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]));
    return image;
}

}  // namespace

QImage appIconImage(int size) { return size == 16 ? drawPixelArt(kIcon16) : drawPixelArt(kIcon32); }

QIcon appIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(appIconImage(16)));
    icon.addPixmap(QPixmap::fromImage(appIconImage(32)));
    return icon;
}

}  // namespace pelorin
