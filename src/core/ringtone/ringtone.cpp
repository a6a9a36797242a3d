#include "ringtone/ringtone.h"

#include <cmath>
#include <cstdlib>

#include "util/text.h"

namespace pelorin::ringtone {

int nearestTempoCode(int bpm) {
    int best = 0;
    for (int code = 1; code < static_cast<int>(kTempos.size()); ++code) {
        if (std::abs(kTempos[static_cast<std::size_t>(code)] - bpm) <
            std::abs(kTempos[static_cast<std::size_t>(best)] - bpm))
            best = code;
    }
    return best;
}

int semitone(Pitch pitch) { return static_cast<int>(pitch) - 1; }

const char* pitchName(Pitch pitch) {
    static constexpr const char* kNames[] = {"p", "c", "c#", "d", "d#", "e", "f", "f#", "g", "g#", "a", "a#", "b"};
    return kNames[static_cast<std::size_t>(pitch) % 13];
}

int midiKey(const Note& note) { return 60 + 12 * (note.scale - 1) + semitone(note.pitch); }

double frequency(const Note& note) {
    if (note.isRest()) return 0.0;
    return 440.0 * std::pow(2.0, (midiKey(note) - 69) / 12.0);
}

int durationDenominator(Duration duration) { return 1 << static_cast<int>(duration); }

int lengthUnits(Duration duration, Dots dots) {
    const int plain = 128 / durationDenominator(duration);
    switch (dots) {
        case Dots::Dotted:
            return plain * 3 / 2;
        case Dots::DoubleDotted:
            return plain * 7 / 4;
        case Dots::None:
            break;
    }
    return plain;
}

double noteSeconds(const Note& note, int tempo) {
    // A beat is a quarter note, 32 units.
    return lengthUnits(note.duration, note.dots) / 32.0 * 60.0 / (tempo > 0 ? tempo : 63);
}

double totalSeconds(const Ringtone& ringtone) {
    double seconds = 0.0;
    for (const Note& note : ringtone.notes) seconds += noteSeconds(note, ringtone.tempo);
    return seconds;
}

std::string fittedName(std::u32string_view characters) {
    std::u32string name;
    for (char32_t c : characters.substr(0, kMaxNameCharacters))
        name.push_back(c > 0xFF || c < 0x20 || c == 0x7F || c == U':' ? U'?' : c);
    // RTTTL keeps no spaces around a name.
    while (!name.empty() && name.back() == U' ') name.pop_back();
    while (!name.empty() && name.front() == U' ') name.erase(0, 1);
    return encodeUtf8(name);
}

const char* styleName(Style style) {
    switch (style) {
        case Style::Continuous:
            return "continuous";
        case Style::Staccato:
            return "staccato";
        case Style::Natural:
            break;
    }
    return "natural";
}

}  // namespace pelorin::ringtone
