#pragma once

// The Smart Messaging "ringing tone programming" format, the octets a
// ringtone message carries to port 0x1581 (and an .ott file holds):
//   command length 02; ringing-tone programming 0100101 and a filler bit;
//   sound 0011101; basic song 001; the title's length (4 bits) and its
//   characters (8 bits each, the default character set); one pattern:
//   header 000, pattern A 00, loop (4 bits), instruction count (8 bits);
//   the instructions (3-bit id: 001 note, 010 scale, 011 style, 100 tempo,
//   101 volume); zero bits to a whole octet and a command-end octet 00.
// A note is its value (4 bits: 0 a rest, 1 to 12 C to B), its duration
// (3 bits) and its specifier (2 bits: plain, dotted, double-dotted).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ringtone/ringtone.h"

namespace pelorin::ringtone {

inline constexpr std::uint16_t kRingtonePort = 0x1581;
inline constexpr std::size_t kMaxTitleCharacters = 15;  // what the 4-bit length holds
inline constexpr std::size_t kMaxInstructions = 255;    // what the 8-bit count holds

struct EncodeOptions {
    // A scale instruction before every note, as some phones' composers need,
    // rather than only where the scale changes.
    bool scaleEveryNote = false;
};

// The name is cut to 15 characters; a tune of more instructions than the
// count holds keeps its first notes (no tune within the message limits has
// that many).
std::vector<std::uint8_t> encodeSmartMessaging(const Ringtone& ringtone, const EncodeOptions& options = {});

struct SmartMessagingReading {
    std::optional<Ringtone> ringtone;
    std::string error;  // empty when read
};

// Every field is checked against the octets present; the first tempo,
// style and volume are the ringtone's; the notes of every pattern are read
// in turn. Octets after the last pattern are ignored.
SmartMessagingReading decodeSmartMessaging(std::span<const std::uint8_t> octets);

// What sending a ringtone takes.
inline constexpr std::size_t kSingleMessageOctets = 133;  // after the 7-octet port header
inline constexpr std::size_t kPartOctets = 128;           // after the 12-octet header of a part
inline constexpr int kMaxMessages = 3;

struct RingtoneBudget {
    std::size_t octets = 0;
    int messages = 0;              // 1 to 3; 0 when it does not fit in 3
    std::size_t notesThatFit = 0;  // the most of its first notes that 3 messages carry
    std::vector<std::string> warnings;
    std::string refusal;  // why it cannot be sent, when messages is 0
};

RingtoneBudget measureRingtone(const Ringtone& ringtone, const EncodeOptions& options = {});

// The user data of each message, headers included: one message of port
// header 06 05 04 15 81 00 00 and up to 133 octets, or 2 or 3 parts with
// 0B 05 04 15 81 00 00 00 03 ref total seq and up to 128 octets each.
// Empty when the octets need more than 3 messages.
std::vector<std::vector<std::uint8_t>> ringtoneUserData(std::span<const std::uint8_t> octets);

}  // namespace pelorin::ringtone
