#pragma once

// The ringtone as sound, a square wave like a phone's buzzer, and the WAV
// file that carries it (8 kHz, mono, 16-bit PCM) and iMelody text.

#include <cstdint>
#include <string>
#include <vector>

#include "ringtone/ringtone.h"

namespace pelorin::ringtone {

inline constexpr int kSampleRate = 8000;
inline constexpr double kMaxRenderSeconds = 600.0;  // longer tunes are cut here

// The samples of one playing (the loop is not repeated). A note sounds for
// its whole length when continuous, half of it staccato, and all but a
// sixteenth of it natural, so that repeated notes are heard apart. A set
// volume scales the wave (15 loudest); without one it plays at full level.
std::vector<std::int16_t> renderSquareWave(const Ringtone& ringtone, int sampleRate = kSampleRate);

// A RIFF WAVE file of those samples.
std::vector<std::uint8_t> writeWav(const Ringtone& ringtone);

// iMelody 1.2 text with CRLF line ends: the name, BEAT, STYLE, VOLUME when
// set, and the melody with an octave prefix on every note (*3 to *6 for
// scales 1 to 4), in a repeat block when the ringtone loops.
std::string writeIMelody(const Ringtone& ringtone);

}  // namespace pelorin::ringtone
