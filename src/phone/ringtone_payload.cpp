#include "phone/ringtone_payload.h"

namespace pelorin::phone {

namespace {

// Bits front to back, most significant first; a read past the end fails.
class Bits {
public:
    explicit Bits(std::span<const std::uint8_t> data) : data_(data) {}
    bool read(unsigned count, unsigned& value) {
        if (count > data_.size() * 8 || bit_ > data_.size() * 8 - count) return false;
        value = 0;
        while (count-- > 0) {
            value = value << 1 | ((data_[bit_ >> 3] & (0x80u >> (bit_ & 7))) ? 1u : 0u);
            ++bit_;
        }
        return true;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t bit_ = 0;
};

constexpr unsigned kBeats[32] = {25,  28,  31,  35,  40,  45,  50,  56,  63,  70,  80,  90,  100, 112, 125, 140,
                                 160, 180, 200, 225, 250, 285, 320, 360, 400, 450, 500, 565, 635, 715, 800, 900};
constexpr const char* kNotes[13] = {"p", "c", "c#", "d", "d#", "e", "f", "f#", "g", "g#", "a", "a#", "b"};

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

Result<ReceivedRingtone> fail(const std::string& why) { return Result<ReceivedRingtone>::failure(why); }

}  // namespace

Result<ReceivedRingtone> readRingtoneBits(std::span<const std::uint8_t> data) {
    Bits bits(data);
    unsigned commands = 0, command = 0, filler = 0;
    if (!bits.read(8, commands) || !bits.read(7, command) || !bits.read(1, filler)) return fail("ringtone: too short");
    if (command != 0x25) return fail("ringtone: no ringing tone programming command");
    if (!bits.read(7, command)) return fail("ringtone: too short");
    const bool wide = command == 0x22;  // the title in UCS-2
    if (wide && (!bits.read(1, filler) || !bits.read(7, command))) return fail("ringtone: too short");
    if (command != 0x1D) return fail("ringtone: no sound command");
    unsigned songType = 0, titleLength = 0;
    if (!bits.read(3, songType) || !bits.read(4, titleLength)) return fail("ringtone: too short");
    if (songType != 1 && songType != 2) return fail("ringtone: song type " + std::to_string(songType));
    ReceivedRingtone tone;
    for (unsigned k = 0; k < titleLength; ++k) {
        unsigned code = 0;
        if (!bits.read(wide ? 16 : 8, code)) return fail("ringtone: the title is cut short");
        appendUtf8(tone.name, code > 0xFF || code < 0x20 || code == ':' || code == 0x7F ? '?' : code);
    }
    unsigned patterns = 0;
    if (!bits.read(8, patterns) || patterns == 0) return fail("ringtone: no pattern");
    std::string notes;
    unsigned scale = 1;  // scale 2 (octave 5) until a scale instruction
    unsigned loop = 0;
    bool tempoSeen = false, styleSeen = false;
    unsigned style = 0;
    for (unsigned p = 0; p < patterns; ++p) {
        unsigned header = 0, id = 0, repeat = 0, count = 0;
        if (!bits.read(3, header) || !bits.read(2, id) || !bits.read(4, repeat) || !bits.read(8, count))
            return fail("ringtone: a pattern header is cut short");
        if (header != 0) return fail("ringtone: a pattern header expected");
        if (p == 0) loop = repeat;
        for (unsigned k = 0; k < count; ++k) {
            unsigned instruction = 0, value = 0;
            if (!bits.read(3, instruction)) return fail("ringtone: an instruction is cut short");
            switch (instruction) {
                case 1: {
                    unsigned pitch = 0, length = 0, specifier = 0;
                    if (!bits.read(4, pitch) || !bits.read(3, length) || !bits.read(2, specifier))
                        return fail("ringtone: a note is cut short");
                    if (pitch > 12 || length > 5 || specifier > 2)
                        return fail("ringtone: note " + std::to_string(tone.notes + 1) + " is not one");
                    if (!notes.empty()) notes.push_back(',');
                    notes += std::to_string(1u << length) + kNotes[pitch];
                    if (pitch != 0) notes += std::to_string(scale + 4);
                    notes += std::string(specifier, '.');
                    ++tone.notes;
                    break;
                }
                case 2:
                    if (!bits.read(2, scale)) return fail("ringtone: a scale is cut short");
                    break;
                case 3:
                    if (!bits.read(2, value)) return fail("ringtone: a style is cut short");
                    if (!styleSeen) style = value, styleSeen = true;
                    break;
                case 4:
                    if (!bits.read(5, value)) return fail("ringtone: a tempo is cut short");
                    if (!tempoSeen) tone.tempo = kBeats[value], tempoSeen = true;
                    break;
                case 5:
                    if (!bits.read(4, value)) return fail("ringtone: a volume is cut short");
                    break;
                default:
                    return fail("ringtone: instruction " + std::to_string(instruction) + " unknown");
            }
        }
    }
    tone.rtttl = tone.name + ":d=4,o=5,b=" + std::to_string(tone.tempo);
    if (loop != 0) tone.rtttl += ",l=" + std::to_string(loop);
    if (style == 1) tone.rtttl += ",s=c";
    if (style == 2) tone.rtttl += ",s=s";
    tone.rtttl += ":" + notes;
    return tone;
}

Result<ReceivedRingtone> interpretRingtone(const CompletedMessage& message) {
    if (message.destinationPort != kRingtonePort) return fail("not sent to the ringtone port");
    if (message.alphabet != Alphabet::Octets) return fail("ringtone: not 8-bit data");
    return readRingtoneBits(message.payload);
}

}  // namespace pelorin::phone
