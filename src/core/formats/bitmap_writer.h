#pragma once

#include <cstdint>
#include <vector>

#include "document/canvas.h"

namespace pelorin {

// A Windows bitmap file of a canvas: 8 bits per pixel, uncompressed, rows
// from the bottom up and padded to 4 bytes, with a full 256-entry colour table
// in which index 0 is black (set pixels) and every other entry white (index 1
// marks clear pixels). The bitmap import reads it back to the same pixels.
std::vector<std::uint8_t> encodeBitmap(const Canvas& canvas);

}  // namespace pelorin
