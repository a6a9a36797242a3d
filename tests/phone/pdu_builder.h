#pragma once

// Hand-made SMS-SUBMIT PDUs for the phone's tests, put together octet by octet
// from the 03.40 layout. Deliberately tiny and independent of the encoder.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pelorin::phone::testing {

using Octets = std::vector<std::uint8_t>;

inline std::string hexOf(const Octets& octets) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t o : octets) {
        text.push_back(kDigits[o >> 4]);
        text.push_back(kDigits[o & 15]);
    }
    return text;
}

inline Octets operator+(Octets a, const Octets& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Bits of a W x H image, rows from the top, first pixel in bit 0x80, rows running on.
inline Octets packBits(unsigned width, unsigned height, const std::function<bool(unsigned, unsigned)>& set) {
    Octets bits((width * height + 7) / 8, 0);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const unsigned i = y * width + x;
            if (set(x, y)) bits[i / 8] = static_cast<std::uint8_t>(bits[i / 8] | (0x80 >> (i % 8)));
        }
    }
    return bits;
}

inline Octets otaBitmap(unsigned width, unsigned height, const Octets& bits) {
    return Octets{0x00, static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(height), 0x01} + bits;
}

inline Octets portHeader(std::uint16_t port) {
    return {0x05, 0x04, static_cast<std::uint8_t>(port >> 8), static_cast<std::uint8_t>(port & 0xFF), 0x00, 0x00};
}

inline Octets concatenationHeader(std::uint8_t reference, std::uint8_t total, std::uint8_t sequence) {
    return {0x00, 0x03, reference, total, sequence};
}

struct Submit {
    std::uint8_t firstOctet = 0x51;
    // Address field after its length octet: type of address and swapped digits.
    Octets address{0x91, 0x21, 0xF3};
    std::uint8_t digitCount = 3;
    std::uint8_t dataCoding = 0xF5;
    Octets validity{0xA7};
    Octets header;  // information elements, without the header length
    Octets payload;

    // TPDU octets (no service-centre field).
    Octets tpdu() const {
        Octets userData;
        if (!header.empty()) userData = Octets{static_cast<std::uint8_t>(header.size())} + header;
        userData = userData + payload;
        return Octets{firstOctet, 0x00, digitCount} + address + Octets{0x00, dataCoding} + validity +
               Octets{static_cast<std::uint8_t>(userData.size())} + userData;
    }
    // What a terminal types: "00" for the service centre, then the TPDU.
    std::string text() const { return "00" + hexOf(tpdu()); }
    unsigned length() const { return static_cast<unsigned>(tpdu().size()); }
};

}  // namespace pelorin::phone::testing
