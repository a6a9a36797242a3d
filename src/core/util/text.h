#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pelorin {

// Texts in the core are UTF-8. These helpers turn them into characters (code
// points) where a character count or a one-octet code matters.

// Decodes UTF-8 leniently: every malformed or truncated sequence becomes one
// U+FFFD, so any byte string gives a defined result.
std::u32string decodeUtf8(std::string_view text);
std::string encodeUtf8(std::u32string_view text);

// One octet per character: codes up to 0xFF as they are, anything above as "?".
std::string toOctets(std::u32string_view text);

// The text with every control character (below 0x20, and DEL) as "?", for
// bytes from outside that are shown on a terminal or in a message.
std::string withControlsReplaced(std::string_view text);

// Two upper-case hex digits per byte.
std::string hexBytes(const std::uint8_t* data, std::size_t size);
std::string hexOctet(unsigned value);

}  // namespace pelorin
