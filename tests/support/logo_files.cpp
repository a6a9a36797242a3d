#include "support/logo_files.h"

namespace pelorin::testing {

namespace {

bool isSet(const PixelRule& set, int x, int y) { return set && set(x, y); }

std::vector<std::uint8_t> characterFile(std::size_t header, std::size_t widthAt, std::size_t heightAt, int width,
                                        int height, const PixelRule& set) {
    std::vector<std::uint8_t> bytes(header, 0);
    bytes[widthAt] = static_cast<std::uint8_t>(width);
    bytes[heightAt] = static_cast<std::uint8_t>(height);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 72; ++x) bytes.push_back(isSet(set, x, y) ? '1' : '0');
    return bytes;
}

}  // namespace

std::vector<std::uint8_t> nggFile(int width, int height, const PixelRule& set) {
    return characterFile(16, 6, 8, width, height, set);
}

std::vector<std::uint8_t> nolFile(int width, int height, const PixelRule& set) {
    return characterFile(20, 10, 12, width, height, set);
}

std::vector<std::uint8_t> nlmFile(int width, int height, const PixelRule& set) {
    std::vector<std::uint8_t> bytes(10 + 126, 0);
    bytes[7] = static_cast<std::uint8_t>(width);
    bytes[8] = static_cast<std::uint8_t>(height);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 72; ++x)
            if (isSet(set, x, y))
                bytes[static_cast<std::size_t>(10 + y * 9 + x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    return bytes;
}

}  // namespace pelorin::testing
