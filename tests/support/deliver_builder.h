#pragma once

// Hand-made SMS-DELIVER PDUs as a phone reports them from its memory, put
// together octet by octet from the 03.40 layout for the tests and the
// benchmark of reading messages back. It never calls the code it checks.

#include <cstdint>
#include <string>
#include <vector>

namespace pelorin::testing {

using DeliverOctets = std::vector<std::uint8_t>;

inline DeliverOctets operator+(DeliverOctets a, const DeliverOctets& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline std::string deliverHex(const DeliverOctets& octets) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (auto o : octets) text += {kDigits[o >> 4], kDigits[o & 15]};
    return text;
}

// No service centre, sender +4912345, 2026-12-07 17:45:00 +01:00, 8-bit
// class 1 data unless told (coding 0x00: GSM 7-bit, payload one septet an
// entry).
struct Deliver {
    DeliverOctets header;  // information elements, without the header length
    DeliverOctets payload;
    std::uint8_t coding = 0xF5;
    DeliverOctets sender{0x07, 0x91, 0x94, 0x21, 0x43, 0xF5};
    int lengthError = 0;  // added to the user data length

    std::string hex() const {
        DeliverOctets userData =
            header.empty() ? payload : DeliverOctets{static_cast<std::uint8_t>(header.size())} + header + payload;
        const bool septets = coding == 0x00;
        const int length = static_cast<int>(septets ? payload.size() : userData.size()) + lengthError;
        if (septets) userData = pack(payload);
        return deliverHex(
            DeliverOctets{0x00, static_cast<std::uint8_t>(header.empty() ? 0x04 : 0x44)} + sender +
            DeliverOctets{0x00, coding, 0x62, 0x21, 0x70, 0x71, 0x54, 0x00, 0x40, static_cast<std::uint8_t>(length)} +
            userData);
    }
    static DeliverOctets pack(const DeliverOctets& septets) {
        DeliverOctets octets((septets.size() * 7 + 7) / 8, 0);
        for (std::size_t i = 0; i < septets.size(); ++i) {
            const std::size_t bit = i * 7;
            octets[bit / 8] = static_cast<std::uint8_t>(octets[bit / 8] | septets[i] << (bit % 8));
            if (bit % 8 > 1) octets[bit / 8 + 1] = static_cast<std::uint8_t>(septets[i] >> (8 - bit % 8));
        }
        return octets;
    }
};

inline DeliverOctets port16(std::uint16_t port) {
    return {0x05, 0x04, static_cast<std::uint8_t>(port >> 8), static_cast<std::uint8_t>(port), 0, 0};
}
inline DeliverOctets port8(std::uint8_t port) { return {0x04, 0x02, port, 0}; }
inline DeliverOctets concatenation8(std::uint8_t reference, std::uint8_t total, std::uint8_t sequence) {
    return {0x00, 0x03, reference, total, sequence};
}
inline DeliverOctets ota(std::uint8_t width, std::uint8_t height, std::uint8_t fill) {
    return DeliverOctets{0x00, width, height, 0x01} + DeliverOctets((width * height + 7) / 8, fill);
}

// A whole message cut into parts of at most 140 octets of user data each,
// every part with the port and an 8-bit concatenation element.
inline std::vector<std::string> deliverParts(std::uint16_t port, const DeliverOctets& whole, std::uint8_t reference) {
    constexpr std::size_t kRoom = 140 - 12;
    const std::size_t total = (whole.size() + kRoom - 1) / kRoom;
    std::vector<std::string> parts;
    for (std::size_t i = 0; i < total; ++i) {
        const auto begin = whole.begin() + static_cast<std::ptrdiff_t>(i * kRoom);
        const auto end = whole.begin() + static_cast<std::ptrdiff_t>(std::min(whole.size(), (i + 1) * kRoom));
        parts.push_back(Deliver{port16(port) + concatenation8(reference, static_cast<std::uint8_t>(total),
                                                              static_cast<std::uint8_t>(i + 1)),
                                DeliverOctets(begin, end)}
                            .hex());
    }
    return parts;
}

}  // namespace pelorin::testing
