#pragma once

// Builds Windows bitmap files byte by byte for tests, independently of the
// program's own bitmap writer.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pelorin::testing {

struct BmpLayout {
    int width = 72;
    int height = 14;  // negative: rows stored top-down
    int bitsPerPixel = 8;
    std::uint32_t compression = 0;
    int colourEntries = 256;                // entries written to the table (4 bytes each)
    std::uint8_t entry0[4] = {0, 0, 0, 0};  // blue, green, red, reserved
    // Colour-table index (or, above 8 bits, the value of every byte of the
    // pixel) of pixel x in stored row r; rows in storage order.
    std::function<unsigned(int x, int storedRow)> pixel = [](int, int) { return 1u; };
};

// A complete, well-formed file: headers, table, padded rows.
std::vector<std::uint8_t> buildBmp(const BmpLayout& layout);

std::size_t bmpStride(int width, int bitsPerPixel);

void put32At(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);
void put16At(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value);

std::vector<std::uint8_t> bytesOf(const std::string& text);

}  // namespace pelorin::testing
