#pragma once

// Plain text messages: the GSM 7-bit default alphabet (with its extension
// table) and UCS-2, turned into UTF-8.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "phone/reassembly.h"

namespace pelorin::phone {

// One septet value per entry (0x00 to 0x7F; higher bits are ignored).
std::string gsm7ToUtf8(std::span<const std::uint8_t> septets);

// Big-endian 16-bit units; surrogate pairs are joined, a lone surrogate or a
// last odd octet becomes U+FFFD.
std::string ucs2ToUtf8(std::span<const std::uint8_t> octets);

// The text of a message without an application port that is coded as text;
// nothing for 8-bit data or a message to a port.
std::optional<std::string> interpretText(const CompletedMessage& message);

}  // namespace pelorin::phone
