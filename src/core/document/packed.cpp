#include "document/packed.h"

namespace pelorin {

std::vector<std::uint8_t> packCanvas(const Canvas& canvas) {
    std::vector<std::uint8_t> bytes(canvas.size().packedBytes(), 0);
    std::size_t byte = 0;
    std::uint8_t mask = 0x80;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.isSet(x, y)) bytes[byte] |= mask;
            if (mask == 0x01) {
                ++byte;
                mask = 0x80;
            } else {
                mask = static_cast<std::uint8_t>(mask >> 1);
            }
        }
    }
    return bytes;
}

void unpackCanvas(Canvas& canvas, std::span<const std::uint8_t> bytes) {
    canvas.clear();
    std::size_t bit = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x, ++bit) {
            const std::size_t byte = bit / 8;
            if (byte >= bytes.size()) return;
            const auto mask = static_cast<std::uint8_t>(0x80u >> (bit % 8));
            canvas.set(x, y, (bytes[byte] & mask) != 0);
        }
    }
}

}  // namespace pelorin
