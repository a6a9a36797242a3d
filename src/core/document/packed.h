#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "document/canvas.h"

namespace pelorin {

// The packed form of a canvas: rows from the top, pixels left to right, one bit
// each with the first pixel in 0x80 of byte 0; rows run on without padding.
// Document files, nlm files, thumbnails and OTA bitmaps all use it.
std::vector<std::uint8_t> packCanvas(const Canvas& canvas);

// Clears the canvas, then sets every pixel whose bit is 1. Bytes beyond the
// packed size are ignored; pixels the bytes do not reach stay clear.
void unpackCanvas(Canvas& canvas, std::span<const std::uint8_t> bytes);

}  // namespace pelorin
