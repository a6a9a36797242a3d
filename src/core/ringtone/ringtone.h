#pragma once

// A ringtone as Pelorin edits and sends it: what the Smart Messaging ringing
// tone format can carry, one melody of notes and rests.
//
// Pitches: the format knows four scales. Scale 1 has its A at 440 Hz, scale 2
// at 880 Hz, scale 3 at 1760 Hz and scale 4 at 3520 Hz. RTTTL's octaves 4 to 7
// map to scales 1 to 4 (RTTTL's a4 is 440 Hz, a5 880 Hz), MIDI keys use
// A4 = 69 (so scale 1's C is key 60) and iMelody's octave prefixes *3 to *6
// are scales 1 to 4.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::ringtone {

// The format's note values: 0 a rest, 1 to 12 C to B.
enum class Pitch : std::uint8_t { Rest = 0, C, CSharp, D, DSharp, E, F, FSharp, G, GSharp, A, ASharp, B };

// The format's duration codes, a whole note to a thirty-second.
enum class Duration : std::uint8_t { Full = 0, Half, Quarter, Eighth, Sixteenth, ThirtySecond };

// The format's duration specifiers (its fourth, the two-thirds length of
// triplets, RTTTL cannot write and Pelorin does not keep).
enum class Dots : std::uint8_t { None = 0, Dotted, DoubleDotted };

enum class Style : std::uint8_t { Natural = 0, Continuous, Staccato };

inline constexpr int kMinScale = 1;
inline constexpr int kMaxScale = 4;
inline constexpr int kFirstOctave = 4;  // RTTTL octave of scale 1

struct Note {
    Pitch pitch = Pitch::Rest;
    int scale = 2;  // 1 to 4; kept but meaningless for a rest
    Duration duration = Duration::Quarter;
    Dots dots = Dots::None;

    bool isRest() const { return pitch == Pitch::Rest; }
    // A rest's scale plays no part: two rests of one length are equal.
    friend bool operator==(const Note& a, const Note& b) {
        return a.pitch == b.pitch && a.duration == b.duration && a.dots == b.dots && (a.isRest() || a.scale == b.scale);
    }
};

inline constexpr std::size_t kMaxNameCharacters = 30;
inline constexpr int kLoopForever = 15;  // the loop value that repeats without end

struct Ringtone {
    std::string name;  // UTF-8; up to 30 characters, each one octet of Latin-1
    int tempo = 63;    // beats (quarter notes) a minute, one of kTempos
    Style style = Style::Natural;
    int loop = 0;               // 0 plays once, 1 to 14 repeats, 15 forever
    std::optional<int> volume;  // 0 to 15, sent only when set
    std::vector<Note> notes;

    friend bool operator==(const Ringtone&, const Ringtone&) = default;
};

// The format's 32 tempos, beats a minute, in code order.
inline constexpr std::array<int, 32> kTempos = {25,  28,  31,  35,  40,  45,  50,  56,  63,  70,  80,
                                                90,  100, 112, 125, 140, 160, 180, 200, 225, 250, 285,
                                                320, 360, 400, 450, 500, 565, 635, 715, 800, 900};

// The code of the tempo nearest bpm (the lower one on a tie).
int nearestTempoCode(int bpm);
inline int nearestTempo(int bpm) { return kTempos[static_cast<std::size_t>(nearestTempoCode(bpm))]; }

// Semitones above C, 0 to 11 (-1 for a rest).
int semitone(Pitch pitch);
// "c", "c#", ... "b"; "p" for a rest.
const char* pitchName(Pitch pitch);
// The MIDI key (A4 = 69): scale 1's C is 60.
int midiKey(const Note& note);
// The frequency in hertz (0 for a rest).
double frequency(const Note& note);
// 1, 2, 4, 8, 16 or 32.
int durationDenominator(Duration duration);
// The length in 1/128 notes: a quarter is 32, a dotted quarter 48.
int lengthUnits(Duration duration, Dots dots);
// The length in seconds at the ringtone's tempo.
double noteSeconds(const Note& note, int tempo);
double totalSeconds(const Ringtone& ringtone);
// A name from outside made fit for the model: characters above Latin-1,
// control characters and ':' (which ends an RTTTL name) become '?', only
// the first 30 are kept, and spaces around it are dropped.
std::string fittedName(std::u32string_view characters);

// "natural", "continuous", "staccato".
const char* styleName(Style style);

}  // namespace pelorin::ringtone
