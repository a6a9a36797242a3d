#include "formats/bitmap_writer.h"

namespace pelorin {

namespace {

void put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> encodeBitmap(const Canvas& canvas, BitmapDepth depth) {
    const bool oneBit = depth == BitmapDepth::OneBit;
    constexpr std::uint32_t kHeaders = 14 + 40;
    const std::uint32_t colours = oneBit ? 2 : 256;
    const std::uint32_t table = colours * 4;
    const auto width = static_cast<std::uint32_t>(canvas.width());
    const auto height = static_cast<std::uint32_t>(canvas.height());
    const std::uint32_t stride = oneBit ? (width + 31) / 32 * 4 : (width + 3) / 4 * 4;
    const std::uint32_t pixelBytes = stride * height;

    std::vector<std::uint8_t> out;
    out.reserve(kHeaders + table + pixelBytes);
    // File header: type, file size, two reserved words, offset of the pixels.
    out.push_back('B');
    out.push_back('M');
    put32(out, kHeaders + table + pixelBytes);
    put32(out, 0);
    put32(out, kHeaders + table);
    // Information header.
    put32(out, 40);              // its size
    put32(out, width);           // width
    put32(out, height);          // height, positive: rows stored bottom-up
    put16(out, 1);               // planes
    put16(out, oneBit ? 1 : 8);  // bits per pixel
    put32(out, 0);               // no compression
    put32(out, pixelBytes);      // image size
    put32(out, 2835);            // 72 dots per inch, horizontally
    put32(out, 2835);            // and vertically
    put32(out, 0);               // colours used: all of the table
    put32(out, 2);               // important colours: black and white
    // Colour table (blue, green, red, reserved): 0 black, the rest white.
    for (int i = 0; i < 4; ++i) out.push_back(0);
    for (std::uint32_t i = 1; i < colours; ++i) {
        for (int c = 0; c < 3; ++c) out.push_back(0xFF);
        out.push_back(0);
    }
    for (int r = 0; r < canvas.height(); ++r) {
        const int y = canvas.height() - 1 - r;
        if (oneBit) {
            // Eight pixels an octet, the leftmost in the highest bit; a set
            // pixel is index 0, so its bit stays clear.
            std::vector<std::uint8_t> row(stride, 0);
            for (int x = 0; x < canvas.width(); ++x)
                if (!canvas.isSet(x, y))
                    row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            out.insert(out.end(), row.begin(), row.end());
            continue;
        }
        for (int x = 0; x < canvas.width(); ++x) out.push_back(canvas.isSet(x, y) ? 0 : 1);
        for (std::uint32_t pad = width; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

}  // namespace pelorin
