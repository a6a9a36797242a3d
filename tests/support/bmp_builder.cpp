#include "support/bmp_builder.h"

#include <cstdlib>

namespace pelorin::testing {

std::size_t bmpStride(int width, int bitsPerPixel) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32 * 4;
}

void put32At(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void put16At(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
    bytes.at(offset) = static_cast<std::uint8_t>(value);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> buildBmp(const BmpLayout& layout) {
    const std::size_t tableBytes = static_cast<std::size_t>(layout.colourEntries) * 4;
    const std::size_t offset = 14 + 40 + tableBytes;
    const std::size_t stride = bmpStride(layout.width, layout.bitsPerPixel);
    const int rows = std::abs(layout.height);
    std::vector<std::uint8_t> bytes(offset + stride * static_cast<std::size_t>(rows), 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32At(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
    put32At(bytes, 10, static_cast<std::uint32_t>(offset));
    put32At(bytes, 14, 40);
    put32At(bytes, 18, static_cast<std::uint32_t>(layout.width));
    put32At(bytes, 22, static_cast<std::uint32_t>(layout.height));
    put16At(bytes, 26, 1);
    put16At(bytes, 28, static_cast<std::uint16_t>(layout.bitsPerPixel));
    put32At(bytes, 30, layout.compression);
    for (int i = 0; i < 4 && layout.colourEntries > 0; ++i) bytes[54 + static_cast<std::size_t>(i)] = layout.entry0[i];
    for (std::size_t i = 58; i < offset; ++i) bytes[i] = 0x77;  // other entries: some colour
    for (int r = 0; r < rows; ++r) {
        std::uint8_t* row = bytes.data() + offset + static_cast<std::size_t>(r) * stride;
        for (int x = 0; x < layout.width; ++x) {
            const unsigned value = layout.pixel(x, r);
            if (layout.bitsPerPixel >= 8) {
                for (int b = 0; b < layout.bitsPerPixel / 8; ++b)
                    row[static_cast<std::size_t>(x * (layout.bitsPerPixel / 8) + b)] = static_cast<std::uint8_t>(value);
            } else {
                const int bit = x * layout.bitsPerPixel;
                const int shift = 8 - layout.bitsPerPixel - bit % 8;
                row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | (value << shift));
            }
        }
    }
    return bytes;
}

}  // namespace pelorin::testing
