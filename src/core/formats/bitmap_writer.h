#pragma once

#include <cstdint>
#include <vector>

#include "document/canvas.h"

namespace pelorin {

// A Windows bitmap file of a canvas: 8 bits per pixel, uncompressed, rows
// from the bottom up and padded to 4 bytes, with a full 256-entry colour table
// in which index 0 is black (set pixels) and every other entry white (index 1
// marks clear pixels). The bitmap import reads it back to the same pixels.
// With OneBit the same picture in 1 bit per pixel and a table of two colours
// (0 black, 1 white), as programs that take only monochrome bitmaps need.
enum class BitmapDepth { EightBits, OneBit };
std::vector<std::uint8_t> encodeBitmap(const Canvas& canvas, BitmapDepth depth = BitmapDepth::EightBits);

}  // namespace pelorin
