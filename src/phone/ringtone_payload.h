#pragma once

// Ringtones sent to port 0x1581: the Smart Messaging ringing tone bits read
// on their own here, every field checked against the bits present, and
// written as RTTTL with each note's duration and octave spelled out
// (octaves 4 to 7 for the format's scales 1 to 4).

#include <cstdint>
#include <span>
#include <string>

#include "phone/reassembly.h"
#include "phone/result.h"

namespace pelorin::phone {

inline constexpr std::uint16_t kRingtonePort = 0x1581;

struct ReceivedRingtone {
    std::string name;  // UTF-8
    unsigned tempo = 63;
    unsigned notes = 0;  // notes and rests
    std::string rtttl;   // one line, no line end
};

Result<ReceivedRingtone> readRingtoneBits(std::span<const std::uint8_t> data);

// The ringtone of a complete message to port 0x1581 in 8-bit data.
Result<ReceivedRingtone> interpretRingtone(const CompletedMessage& message);

}  // namespace pelorin::phone
