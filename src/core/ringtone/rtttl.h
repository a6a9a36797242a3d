#pragma once

// RTTTL, the common way to write a ringtone down:
//   name:d=4,o=5,b=125:8c6,8e6,g6,p,16a#4.,2c7
// The defaults section takes d (duration), o (octave) and b (beats a
// minute) in any order, each optional (4, 6 and 63 when missing), and
// Pelorin's own l (loop, 0 to 15), s (style: n, c or s) and v (volume, 0 to
// 15). A note is [duration]letter[#][.][octave][.]: both 8c#6. and 8c#.6,
// two dots for double-dotted, p for a rest. Spaces are allowed anywhere
// between the parts, letters in any case. Octaves 4 to 7 are the format's
// scales 1 to 4; b is taken to the nearest of the format's tempos.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "ringtone/ringtone.h"

namespace pelorin::ringtone {

struct RtttlReading {
    std::optional<Ringtone> ringtone;
    std::string error;         // "Unknown note 'h' at 23"; empty when read
    std::size_t position = 0;  // of the error: characters from 1
};

RtttlReading readRtttl(std::string_view utf8);

struct RtttlForm {
    bool dotBeforeOctave = false;  // 8c#.6 rather than 8c#6.
    bool spaces = false;           // ", " between notes
};

// The defaults are the commonest duration and octave of the notes; l, s and
// v are written only when they differ from plain playing. readRtttl gives
// the same ringtone back.
std::string writeRtttl(const Ringtone& ringtone, const RtttlForm& form = {});

}  // namespace pelorin::ringtone
