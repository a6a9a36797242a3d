#pragma once

// Phone-logo files built byte by byte for tests, independently of the
// program's own writer: a header whose width and height bytes are given, then
// 72 x 14 pixels.

#include <cstdint>
#include <functional>
#include <vector>

namespace pelorin::testing {

using PixelRule = std::function<bool(int x, int y)>;

// 16-byte header (width at 6, height at 8), then one "1" or "0" a pixel.
std::vector<std::uint8_t> nggFile(int width = 72, int height = 14, const PixelRule& set = {});
// 20-byte header (width at 10, height at 12), then one "1" or "0" a pixel.
std::vector<std::uint8_t> nolFile(int width = 72, int height = 14, const PixelRule& set = {});
// 10-byte header (width at 7, height at 8), then 126 packed bytes.
std::vector<std::uint8_t> nlmFile(int width = 72, int height = 14, const PixelRule& set = {});

}  // namespace pelorin::testing
