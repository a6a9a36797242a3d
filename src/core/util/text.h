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

// Text from outside (a phone, a file, a picture decoder) as it may be put in
// a message or on a terminal: nothing in it can move the cursor, change the
// terminal, start a new line or reorder what is shown. Backslash, tab, line
// feed and carriage return become \\, \t, \n and \r; the other C0 controls
// and DEL \xHH; the C1 controls (U+0080 to U+009F) and the bidirectional
// embeddings, overrides and isolates (U+202A to U+202E, U+2066 to U+2069)
// \uHHHH; a byte 0x80 to 0x9F that is not part of a UTF-8 sequence, which a
// terminal in a one-byte encoding takes as a C1 control, \xHH. Everything
// else stays as it is, bytes that are not UTF-8 included.
std::string escapedForDisplay(std::string_view text);

// Two upper-case hex digits per byte.
std::string hexBytes(const std::uint8_t* data, std::size_t size);
std::string hexOctet(unsigned value);

}  // namespace pelorin
