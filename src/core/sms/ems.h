#pragma once

// Pictures of the Enhanced Messaging Service: information elements of the
// user data header of an ordinary text message. A small picture (0x11) is
// 16 x 16, a large one (0x10) 32 x 32, a variable one (0x12) any width in
// whole octets; each starts with the character position in its message's
// text where it stands, then rows from the top, 8 pixels an octet, the first
// pixel in bit 0x80, 1 = black. A picture too large for one message goes as
// vertical strips of the full height, one a message, with a user prompt
// indicator (0x13) in front of the first giving the number of strips the
// phone puts side by side.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/canvas.h"

namespace pelorin {

struct DestinationAddress;
struct MessagePart;

inline constexpr std::uint8_t kEmsLargePicture = 0x10;
inline constexpr std::uint8_t kEmsSmallPicture = 0x11;
inline constexpr std::uint8_t kEmsVariablePicture = 0x12;
inline constexpr std::uint8_t kEmsUserPrompt = 0x13;

// The most characters of text an EMS picture job carries.
inline constexpr std::size_t kMaxEmsText = 100;

// The user data of one message: its header's information elements (without
// the header length octet) and its text, already coded (septet values for
// GSM 7-bit, big-endian UTF-16 octets for UCS-2).
struct EmsUserData {
    std::vector<std::uint8_t> header;
    std::vector<std::uint8_t> text;
};

struct EmsMessages {
    bool ucs2 = false;  // data coding 0x08 rather than 0x00, for every part
    std::vector<EmsUserData> parts;
};

// The picture element for a bitmap of whole-octet rows: 0x11 for 16 x 16,
// 0x10 for 32 x 32, otherwise 0x12 with its width in octets and height.
std::vector<std::uint8_t> emsPictureElement(unsigned widthOctets, unsigned height, std::span<const std::uint8_t> rows,
                                            std::uint8_t position = 0);

// Lays a canvas and its text (UTF-8, cut to 100 characters) out over
// messages: the picture at the start of the text, split into strips of whole
// octets when it does not fit one message (a width that is not a multiple
// of 8 padded with blank columns on the right), the text behind the last
// strip and in further parts as needed. Several parts share one reference.
EmsMessages layOutEmsPicture(const Canvas& canvas, std::string_view text, std::uint8_t reference);

// The septets of the GSM 7-bit default alphabet (extension characters as
// 0x1B and their code) for every character of text, or nothing when a
// character has no septet.
std::optional<std::vector<std::uint8_t>> gsm7Septets(std::u32string_view text);

// The user data octets of one message: the header length, the header, then
// the text; 7-bit text starts on the septet boundary after the header (fill
// bits in between). length is the user data length field: septets for 7-bit,
// octets for UCS-2.
std::vector<std::uint8_t> packEmsUserData(const EmsUserData& part, bool ucs2, unsigned& length);

// What a text message's header and text say about pictures, one message at
// a time, put together in sequence order.
struct EmsPictureSeen {
    unsigned widthOctets = 0;
    unsigned height = 0;
    std::vector<std::uint8_t> rows;
};

struct EmsReading {
    // The picture: strips under a user prompt indicator side by side, or the
    // first picture when there is no indicator. width is in pixels.
    unsigned width = 0;
    unsigned height = 0;
    std::vector<std::uint8_t> rows;  // whole octets a row
    unsigned pictures = 0;           // picture elements seen in all
    std::string note;                // what was left out, for the user
    bool pixel(unsigned x, unsigned y) const;
};

// Reads the picture elements of the parts' headers (each header without its
// length octet, parts in sequence order). Nothing when no header holds a
// picture element; a refusal with why when an element is malformed or the
// strips a prompt indicator announces are not all there.
struct EmsDecodeResult {
    std::optional<EmsReading> reading;
    std::string why;  // set when the pictures are there but cannot be read
};
EmsDecodeResult decodeEmsPictures(const std::vector<std::span<const std::uint8_t>>& headers);

// Whether a header holds any picture element (a well-formed walk of it).
bool hasEmsPicture(std::span<const std::uint8_t> header);

// The canvas a picture of this size comes into: the smallest that holds it
// whole, otherwise the one that keeps most of it.
LogoKind nearestEmsCanvas(unsigned width, unsigned height);

// The picture on that canvas at its top left; cut tells how many set pixels
// fell outside.
Canvas emsOnCanvas(const EmsReading& reading, LogoKind kind, unsigned& cut);

// The messages of an EMS picture job (the canvas, the text, the report
// flag on the last part), as AT+CMGS sends them.
std::vector<MessagePart> buildEmsPictureParts(const Canvas& canvas, std::string_view text, bool report,
                                              const DestinationAddress& address);

}  // namespace pelorin
