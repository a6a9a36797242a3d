#pragma once

// Hexadecimal text as the phone receives it on the line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::phone {

// Octets of a text of hex digit pairs (either case). Nothing for an odd length
// or any character that is not a hex digit.
std::optional<std::vector<std::uint8_t>> parseHex(std::string_view text);

// Upper-case hex digits, two per octet.
std::string toHex(const std::vector<std::uint8_t>& bytes);

}  // namespace pelorin::phone
