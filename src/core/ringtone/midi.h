#pragma once

// Standard MIDI Files. Written: format 0, one track, 384 ticks a quarter
// note, the name as the track name, the tempo, each note on channel 1 for
// its whole length (keys with A4 = 69, so scale 1's C is key 60). Read:
// format 0 or 1; the notes of the channel of the first note-on, a chord as
// its highest note, the gaps as rests; lengths rounded to the nearest of
// the model's, longer ones split; keys outside the four scales moved by
// octaves into them; the first tempo. Loop, style and volume are not kept.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ringtone/ringtone.h"

namespace pelorin::ringtone {

std::vector<std::uint8_t> writeMidi(const Ringtone& ringtone);

struct MidiReading {
    std::optional<Ringtone> ringtone;
    std::string error;
};

MidiReading readMidi(std::span<const std::uint8_t> bytes);

}  // namespace pelorin::ringtone
