#pragma once

// What the ports carry: operator logos (0x1582), caller-group graphics
// (0x1583) and picture messages (0x158A), each with an OTA bitmap.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "phone/reassembly.h"
#include "phone/result.h"

namespace pelorin::phone {

inline constexpr std::uint16_t kOperatorLogoPort = 0x1582;
inline constexpr std::uint16_t kGroupGraphicPort = 0x1583;
inline constexpr std::uint16_t kPictureMessagePort = 0x158A;

enum class LogoType { OperatorLogo, GroupGraphic, PictureMessage, EmsPicture };

// "operator-logo", "group-graphic", "picture-message", "ems-picture".
const char* logoTypeName(LogoType type);

// A monochrome bitmap as the OTA format packs it: rows from the top, pixels
// left to right, first pixel in bit 0x80, rows running on without padding.
struct OtaBitmap {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<std::uint8_t> bits;  // exactly ceil(width * height / 8) octets

    bool pixel(unsigned x, unsigned y) const;
};

// Country and network code, digits as decimal characters ("262", "02").
struct NetworkCode {
    std::string country;
    std::string network;
};

struct ReceivedLogo {
    LogoType type = LogoType::OperatorLogo;
    OtaBitmap bitmap;
    std::optional<NetworkCode> networkCode;  // operator logos only
    std::string text;                        // picture messages and EMS pictures, UTF-8
};

// An OTA bitmap: header 00 W H 01, then exactly the bitmap octets.
Result<OtaBitmap> readOtaBitmap(std::span<const std::uint8_t> data);

// Three octets of swapped BCD: MCC digits 2|1, MNC digit 3 (or F)|MCC digit 3,
// MNC digits 2|1.
NetworkCode decodeNetworkCode(std::span<const std::uint8_t, 3> octets);

// Interprets a complete message sent to one of the three ports.
Result<ReceivedLogo> interpretLogo(const CompletedMessage& message);

}  // namespace pelorin::phone
