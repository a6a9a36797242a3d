#include "ringtone/rtttl.h"

#include <array>
#include <map>

#include "util/text.h"

namespace pelorin::ringtone {

namespace {

char32_t lower(char32_t c) { return c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c; }
bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool isSpace(char32_t c) { return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n'; }

std::string shown(char32_t c) {
    if (c < 0x20 || c == 0x7F) return "\\x" + hexOctet(static_cast<unsigned>(c));
    return encodeUtf8(std::u32string(1, c));
}

std::optional<Duration> durationOf(unsigned value) {
    switch (value) {
        case 1:
            return Duration::Full;
        case 2:
            return Duration::Half;
        case 4:
            return Duration::Quarter;
        case 8:
            return Duration::Eighth;
        case 16:
            return Duration::Sixteenth;
        case 32:
            return Duration::ThirtySecond;
        default:
            return std::nullopt;
    }
}

class Parser {
public:
    explicit Parser(std::string_view utf8) : text_(decodeUtf8(utf8)) {}

    RtttlReading run() {
        Ringtone ringtone;
        if (!readName(ringtone) || !readDefaults(ringtone) || !readNotes(ringtone)) return std::move(reading_);
        reading_.ringtone = std::move(ringtone);
        return std::move(reading_);
    }

private:
    bool fail(std::string message, std::size_t at) {
        reading_.position = at + 1;
        reading_.error = std::move(message) + " at " + std::to_string(at + 1);
        return false;
    }
    bool atEnd() const { return i_ >= text_.size(); }
    char32_t peek() const { return atEnd() ? 0 : lower(text_[i_]); }
    void skipSpaces() {
        while (!atEnd() && isSpace(text_[i_])) ++i_;
    }
    // Digits as a number; false when there are none. Long runs saturate.
    bool number(unsigned& value) {
        if (atEnd() || !isDigit(text_[i_])) return false;
        value = 0;
        while (!atEnd() && isDigit(text_[i_])) {
            if (value < 100000) value = value * 10 + static_cast<unsigned>(text_[i_] - U'0');
            ++i_;
        }
        return true;
    }

    bool readName(Ringtone& ringtone) {
        const std::size_t colon = text_.find(U':');
        if (colon == std::u32string::npos) return fail("Missing ':' after the name", text_.size());
        std::size_t from = 0;
        std::size_t to = colon;
        while (from < to && isSpace(text_[from])) ++from;
        while (to > from && isSpace(text_[to - 1])) --to;
        if (to - from > kMaxNameCharacters)
            return fail("Name longer than " + std::to_string(kMaxNameCharacters) + " characters",
                        from + kMaxNameCharacters);
        for (std::size_t k = from; k < to; ++k) {
            if (text_[k] > 0xFF || text_[k] < 0x20 || text_[k] == 0x7F)
                return fail("Character '" + shown(text_[k]) + "' in the name cannot be sent", k);
        }
        ringtone.name = encodeUtf8(text_.substr(from, to - from));
        i_ = colon + 1;
        return true;
    }

    bool readDefaults(Ringtone& ringtone) {
        if (text_.find(U':', i_) == std::u32string::npos) return fail("Missing ':' after the defaults", text_.size());
        bool seen[6] = {};
        for (;;) {
            skipSpaces();
            if (peek() == U':') break;
            const std::size_t keyAt = i_;
            const char32_t key = peek();
            static constexpr std::u32string_view kKeys = U"dobslv";
            const std::size_t which = kKeys.find(key);
            if (which == std::u32string_view::npos) return fail("Unknown setting '" + shown(text_[i_]) + "'", keyAt);
            if (seen[which]) return fail("Setting '" + shown(text_[i_]) + "' given twice", keyAt);
            seen[which] = true;
            ++i_;
            skipSpaces();
            if (peek() != U'=') return fail("Missing '=' after '" + shown(text_[keyAt]) + "'", i_);
            ++i_;
            skipSpaces();
            const std::size_t valueAt = i_;
            unsigned value = 0;
            if (key == U's') {
                const char32_t style = peek();
                if (style == U'n')
                    ringtone.style = Style::Natural;
                else if (style == U'c')
                    ringtone.style = Style::Continuous;
                else if (style == U's')
                    ringtone.style = Style::Staccato;
                else
                    return fail("Unknown style '" + (atEnd() ? std::string() : shown(text_[i_])) + "'", valueAt);
                ++i_;
            } else if (!number(value)) {
                return fail("Missing number for '" + shown(text_[keyAt]) + "'", valueAt);
            } else if (key == U'd') {
                const auto duration = durationOf(value);
                if (!duration) return fail("Unknown duration " + std::to_string(value), valueAt);
                duration_ = *duration;
            } else if (key == U'o') {
                if (value < kFirstOctave || value > kFirstOctave + 3)
                    return fail("Octave " + std::to_string(value) + " is outside 4 to 7", valueAt);
                octave_ = static_cast<int>(value);
            } else if (key == U'b') {
                if (value == 0) return fail("Tempo 0", valueAt);
                ringtone.tempo = nearestTempo(static_cast<int>(value));
            } else if (key == U'l') {
                if (value > 15) return fail("Loop " + std::to_string(value) + " is outside 0 to 15", valueAt);
                ringtone.loop = static_cast<int>(value);
            } else {
                if (value > 15) return fail("Volume " + std::to_string(value) + " is outside 0 to 15", valueAt);
                ringtone.volume = static_cast<int>(value);
            }
            skipSpaces();
            if (peek() == U',') {
                ++i_;
                continue;
            }
            if (peek() == U':') break;
            return fail("Expected ',' or ':' but found '" + shown(text_[i_]) + "'", i_);
        }
        ++i_;  // the ':'
        return true;
    }

    bool readNotes(Ringtone& ringtone) {
        skipSpaces();
        if (atEnd()) return true;
        for (;;) {
            skipSpaces();
            Note note;
            if (!readNote(note)) return false;
            ringtone.notes.push_back(note);
            skipSpaces();
            if (atEnd()) return true;
            if (peek() != U',') return fail("Expected ',' but found '" + shown(text_[i_]) + "'", i_);
            ++i_;
        }
    }

    bool readNote(Note& note) {
        const std::size_t start = i_;
        unsigned value = 0;
        note.duration = duration_;
        if (number(value)) {
            const auto duration = durationOf(value);
            if (!duration) return fail("Unknown duration " + std::to_string(value), start);
            note.duration = *duration;
        }
        if (atEnd()) return fail("Missing note", i_);
        static constexpr std::array<Pitch, 7> kLetters = {Pitch::A, Pitch::B, Pitch::C, Pitch::D,
                                                          Pitch::E, Pitch::F, Pitch::G};
        const char32_t letter = peek();
        const std::size_t letterAt = i_;
        if (letter == U'p') {
            note.pitch = Pitch::Rest;
        } else if (letter >= U'a' && letter <= U'g') {
            note.pitch = kLetters[static_cast<std::size_t>(letter - U'a')];
        } else {
            return fail("Unknown note '" + shown(text_[i_]) + "'", i_);
        }
        ++i_;
        if (peek() == U'#') {
            if (note.isRest() || note.pitch == Pitch::E || note.pitch == Pitch::B)
                return fail("No sharp of '" + shown(text_[letterAt]) + "'", i_);
            note.pitch = static_cast<Pitch>(static_cast<int>(note.pitch) + 1);
            ++i_;
        }
        int dots = 0;
        while (peek() == U'.') ++dots, ++i_;
        note.scale = octave_ - kFirstOctave + 1;
        const std::size_t octaveAt = i_;
        if (number(value)) {
            if (value < kFirstOctave || value > kFirstOctave + 3)
                return fail("Octave " + std::to_string(value) + " is outside 4 to 7", octaveAt);
            note.scale = static_cast<int>(value) - kFirstOctave + 1;
        }
        while (peek() == U'.') ++dots, ++i_;
        if (dots > 2) return fail("More than two dots", start);
        note.dots = static_cast<Dots>(dots);
        if (note.isRest()) note.scale = octave_ - kFirstOctave + 1;
        return true;
    }

    std::u32string text_;
    std::size_t i_ = 0;
    Duration duration_ = Duration::Quarter;
    int octave_ = 6;
    RtttlReading reading_;
};

}  // namespace

RtttlReading readRtttl(std::string_view utf8) { return Parser(utf8).run(); }

std::string writeRtttl(const Ringtone& ringtone, const RtttlForm& form) {
    // The commonest duration and octave become the defaults.
    std::map<int, int> durations;
    std::map<int, int> scales;
    for (const Note& note : ringtone.notes) {
        ++durations[static_cast<int>(note.duration)];
        if (!note.isRest()) ++scales[note.scale];
    }
    int duration = static_cast<int>(Duration::Quarter);
    int count = 0;
    for (const auto& [value, n] : durations)
        if (n > count) duration = value, count = n;
    int scale = 3;  // octave 6, the usual default
    count = 0;
    for (const auto& [value, n] : scales)
        if (n > count) scale = value, count = n;
    const int octave = scale + kFirstOctave - 1;

    std::string text = ringtone.name + ":d=" + std::to_string(durationDenominator(static_cast<Duration>(duration))) +
                       ",o=" + std::to_string(octave) + ",b=" + std::to_string(ringtone.tempo);
    if (ringtone.loop != 0) text += ",l=" + std::to_string(ringtone.loop);
    if (ringtone.style != Style::Natural) text += std::string(",s=") + styleName(ringtone.style)[0];
    if (ringtone.volume) text += ",v=" + std::to_string(*ringtone.volume);
    text += ":";
    bool first = true;
    for (const Note& note : ringtone.notes) {
        if (!first) text += form.spaces ? ", " : ",";
        first = false;
        if (static_cast<int>(note.duration) != duration) text += std::to_string(durationDenominator(note.duration));
        text += pitchName(note.pitch);
        const std::string dots(static_cast<std::size_t>(note.dots), '.');
        if (form.dotBeforeOctave) text += dots;
        if (!note.isRest() && note.scale != scale) text += std::to_string(note.scale + kFirstOctave - 1);
        if (!form.dotBeforeOctave) text += dots;
    }
    return text;
}

}  // namespace pelorin::ringtone
