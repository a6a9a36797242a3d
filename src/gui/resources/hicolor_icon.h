#pragma once

#include <QImage>
#include <array>

namespace pelorin {

// The sizes at which the desktop's icon theme gets the program's icon.
inline constexpr std::array<int, 6> kHicolorIconSizes = {16, 32, 48, 64, 128, 256};

// The program's icon at size x size pixels, made from the 32-pixel drawing
// when size is a multiple of 32 and otherwise from the 16-pixel one, each
// drawing pixel becoming a square block (nearest neighbour), so the icon
// keeps its sharp pixel-art edges. size must be a multiple of 16; any other
// size gives a null image.
QImage hicolorIconImage(int size);

}  // namespace pelorin
