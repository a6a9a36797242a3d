#include "ringtone/smart_messaging.h"

#include <algorithm>

#include "util/text.h"

namespace pelorin::ringtone {

namespace {

enum : unsigned {
    kProgrammingCommand = 0x25,  // 0100101
    kUnicodeCommand = 0x22,      // 0100010
    kSoundCommand = 0x1D,        // 0011101
    kBasicSong = 1,              // 001
    kTemporarySong = 2,          // 010
    kPatternId = 0,
    kNoteId = 1,
    kScaleId = 2,
    kStyleId = 3,
    kTempoId = 4,
    kVolumeId = 5,
};

class BitWriter {
public:
    void put(unsigned value, int bits) {
        for (int bit = bits - 1; bit >= 0; --bit) {
            if (used_ == 0) octets_.push_back(0);
            if ((value >> bit) & 1u) octets_.back() |= static_cast<std::uint8_t>(0x80u >> used_);
            used_ = (used_ + 1) % 8;
        }
    }
    void padToOctet() { used_ = 0; }
    std::vector<std::uint8_t> take() { return std::move(octets_); }

private:
    std::vector<std::uint8_t> octets_;
    int used_ = 0;
};

class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> octets) : octets_(octets) {}
    // False, leaving value alone, when fewer bits are left.
    bool get(int bits, unsigned& value) {
        if (static_cast<std::size_t>(bits) > octets_.size() * 8 - position_) return false;
        value = 0;
        for (int k = 0; k < bits; ++k, ++position_)
            value = (value << 1) | ((octets_[position_ / 8] >> (7 - position_ % 8)) & 1u);
        return true;
    }
    std::size_t octet() const { return position_ / 8; }

private:
    std::span<const std::uint8_t> octets_;
    std::size_t position_ = 0;
};

struct Instructions {
    std::vector<std::pair<unsigned, int>> fields;  // (value, bits) after the pattern header
    std::size_t count = 0;
};

Instructions instructionsOf(const Ringtone& ringtone, const EncodeOptions& options, std::size_t noteCount,
                            bool capped) {
    Instructions out;
    const auto add = [&out](unsigned id, unsigned value, int bits) {
        out.fields.emplace_back(id, 3);
        out.fields.emplace_back(value, bits);
        ++out.count;
    };
    add(kStyleId, static_cast<unsigned>(ringtone.style), 2);
    add(kTempoId, static_cast<unsigned>(nearestTempoCode(ringtone.tempo)), 5);
    if (ringtone.volume) add(kVolumeId, static_cast<unsigned>(std::clamp(*ringtone.volume, 0, 15)), 4);
    int scale = 0;  // none yet: the first note states its scale
    for (std::size_t k = 0; k < noteCount; ++k) {
        const Note& note = ringtone.notes[k];
        const int wanted = std::clamp(note.scale, kMinScale, kMaxScale);
        const bool scaleNeeded = !note.isRest() && (options.scaleEveryNote || wanted != scale);
        if (capped && out.count + (scaleNeeded ? 2 : 1) > kMaxInstructions) break;
        if (scaleNeeded) {
            add(kScaleId, static_cast<unsigned>(wanted - 1), 2);
            scale = wanted;
        }
        out.fields.emplace_back(kNoteId, 3);
        out.fields.emplace_back(static_cast<unsigned>(note.pitch), 4);
        out.fields.emplace_back(static_cast<unsigned>(note.duration), 3);
        out.fields.emplace_back(static_cast<unsigned>(note.dots), 2);
        ++out.count;
    }
    return out;
}

// Uncapped, the octets are what the whole tune would take (its count field
// then wrong): what the limits measure.
std::vector<std::uint8_t> encodeNotes(const Ringtone& ringtone, const EncodeOptions& options, std::size_t noteCount,
                                      bool capped = true) {
    BitWriter bits;
    bits.put(2, 8);  // two commands follow
    bits.put(kProgrammingCommand, 7);
    bits.put(0, 1);
    bits.put(kSoundCommand, 7);
    bits.put(kBasicSong, 3);
    std::string title = toOctets(decodeUtf8(ringtone.name));
    if (title.size() > kMaxTitleCharacters) title.resize(kMaxTitleCharacters);
    bits.put(static_cast<unsigned>(title.size()), 4);
    for (char c : title) bits.put(static_cast<unsigned char>(c), 8);
    bits.put(1, 8);  // one pattern
    const Instructions instructions = instructionsOf(ringtone, options, noteCount, capped);
    bits.put(kPatternId, 3);
    bits.put(0, 2);  // pattern A
    bits.put(static_cast<unsigned>(std::clamp(ringtone.loop, 0, kLoopForever)), 4);
    bits.put(static_cast<unsigned>(instructions.count), 8);
    for (const auto& [value, width] : instructions.fields) bits.put(value, width);
    bits.padToOctet();
    bits.put(0, 8);  // command end
    return bits.take();
}

std::size_t capacity(int messages) {
    return messages == 1 ? kSingleMessageOctets : kPartOctets * static_cast<std::size_t>(messages);
}

}  // namespace

std::vector<std::uint8_t> encodeSmartMessaging(const Ringtone& ringtone, const EncodeOptions& options) {
    return encodeNotes(ringtone, options, ringtone.notes.size());
}

SmartMessagingReading decodeSmartMessaging(std::span<const std::uint8_t> octets) {
    SmartMessagingReading reading;
    BitReader bits(octets);
    const auto fail = [&reading, &bits](const std::string& what) {
        reading.error = what + " at octet " + std::to_string(bits.octet() + 1);
        return std::move(reading);
    };
    const auto cut = [&fail](const char* what) { return fail(std::string("Cut short in ") + what); };
    unsigned value = 0;
    if (!bits.get(8, value)) return cut("the command length");
    if (value < 2) return fail("Not a ringtone: " + std::to_string(value) + " commands");
    if (!bits.get(7, value)) return cut("the first command");
    if (value != kProgrammingCommand) return fail("Not a ringing tone programming command");
    if (!bits.get(1, value)) return cut("the first command");
    if (!bits.get(7, value)) return cut("the second command");
    bool unicode = false;
    if (value == kUnicodeCommand) {
        unicode = true;
        if (!bits.get(1, value) || !bits.get(7, value)) return cut("the sound command");
    }
    if (value != kSoundCommand) return fail("Not a sound command");
    if (!bits.get(3, value)) return cut("the song type");
    if (value != kBasicSong && value != kTemporarySong) return fail("Unknown song type " + std::to_string(value));

    Ringtone ringtone;
    if (!bits.get(4, value)) return cut("the title length");
    std::u32string title;
    for (unsigned k = 0, length = value; k < length; ++k) {
        if (!bits.get(unicode ? 16 : 8, value)) return cut("the title");
        title.push_back(static_cast<char32_t>(value));
    }
    ringtone.name = fittedName(title);
    if (!bits.get(8, value)) return cut("the pattern count");
    const unsigned patterns = value;
    if (patterns == 0) return fail("No pattern");
    bool tempoSet = false;
    bool styleSet = false;
    bool loopSet = false;
    int scale = 2;
    for (unsigned p = 0; p < patterns; ++p) {
        if (!bits.get(3, value)) return cut("a pattern header");
        if (value != kPatternId) return fail("Not a pattern header");
        unsigned loop = 0;
        unsigned count = 0;
        if (!bits.get(2, value) || !bits.get(4, loop) || !bits.get(8, count)) return cut("a pattern header");
        if (!loopSet) ringtone.loop = static_cast<int>(loop), loopSet = true;
        for (unsigned k = 0; k < count; ++k) {
            unsigned id = 0;
            if (!bits.get(3, id)) return cut("an instruction");
            if (id == kNoteId) {
                unsigned pitch = 0, duration = 0, dots = 0;
                if (!bits.get(4, pitch) || !bits.get(3, duration) || !bits.get(2, dots)) return cut("a note");
                if (pitch > 12) return fail("Unknown note value " + std::to_string(pitch));
                if (duration > 5) return fail("Unknown duration " + std::to_string(duration));
                if (dots > 2) return fail("Two-thirds length is not supported");
                ringtone.notes.push_back(
                    Note{static_cast<Pitch>(pitch), scale, static_cast<Duration>(duration), static_cast<Dots>(dots)});
            } else if (id == kScaleId) {
                if (!bits.get(2, value)) return cut("a scale");
                scale = static_cast<int>(value) + 1;
            } else if (id == kStyleId) {
                if (!bits.get(2, value)) return cut("a style");
                if (value > 2) return fail("Unknown style " + std::to_string(value));
                if (!styleSet) ringtone.style = static_cast<Style>(value), styleSet = true;
            } else if (id == kTempoId) {
                if (!bits.get(5, value)) return cut("a tempo");
                if (!tempoSet) ringtone.tempo = kTempos[value], tempoSet = true;
            } else if (id == kVolumeId) {
                if (!bits.get(4, value)) return cut("a volume");
                if (!ringtone.volume) ringtone.volume = static_cast<int>(value);
            } else {
                return fail("Unknown instruction " + std::to_string(id));
            }
        }
    }
    reading.ringtone = std::move(ringtone);
    return reading;
}

RingtoneBudget measureRingtone(const Ringtone& ringtone, const EncodeOptions& options) {
    RingtoneBudget budget;
    budget.octets = encodeNotes(ringtone, options, ringtone.notes.size(), false).size();
    const bool countFits = instructionsOf(ringtone, options, ringtone.notes.size(), false).count <= kMaxInstructions;
    const std::size_t notes = ringtone.notes.size();
    for (int messages = 1; messages <= kMaxMessages && budget.messages == 0; ++messages)
        if (countFits && budget.octets <= capacity(messages)) budget.messages = messages;
    // Each note adds at least one instruction and octets only grow with
    // notes, so the notes that fit are found by halving.
    std::size_t low = budget.messages != 0 ? notes : 0, high = notes;
    while (low < high) {
        const std::size_t middle = (low + high + 1) / 2;
        if (instructionsOf(ringtone, options, middle, false).count <= kMaxInstructions &&
            encodeNotes(ringtone, options, middle, false).size() <= capacity(kMaxMessages)) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    budget.notesThatFit = low;
    if (budget.messages == 0) {
        const std::size_t instructions = instructionsOf(ringtone, options, ringtone.notes.size(), false).count;
        budget.refusal = budget.octets > capacity(kMaxMessages)
                             ? "The ringtone takes " + std::to_string(budget.octets) + " octets, more than " +
                                   std::to_string(kMaxMessages) + " messages carry (" +
                                   std::to_string(capacity(kMaxMessages)) + ")"
                             : "The ringtone takes " + std::to_string(instructions) +
                                   " instructions (notes and scale changes), more than the " +
                                   std::to_string(kMaxInstructions) + " a pattern holds";
        budget.refusal += ": its first " + std::to_string(budget.notesThatFit) + " notes would fit";
    }
    if (budget.messages > 1) {
        budget.warnings.push_back("It takes " + std::to_string(budget.messages) +
                                  " concatenated messages, which only some phones take");
    }
    if (decodeUtf8(ringtone.name).size() > kMaxTitleCharacters)
        budget.warnings.push_back("The name is sent as its first 15 characters");
    for (const std::size_t playable : {std::size_t{58}, std::size_t{63}, std::size_t{80}}) {
        if (notes > playable) {
            budget.warnings.push_back(std::to_string(notes) + " notes: phones that play " + std::to_string(playable) +
                                      " notes stop early");
            break;
        }
    }
    return budget;
}

std::vector<std::vector<std::uint8_t>> ringtoneUserData(std::span<const std::uint8_t> octets) {
    std::vector<std::vector<std::uint8_t>> messages;
    const std::uint8_t portHigh = kRingtonePort >> 8;
    const std::uint8_t portLow = kRingtonePort & 0xFF;
    if (octets.size() <= kSingleMessageOctets) {
        std::vector<std::uint8_t> single = {0x06, 0x05, 0x04, portHigh, portLow, 0x00, 0x00};
        single.insert(single.end(), octets.begin(), octets.end());
        messages.push_back(std::move(single));
        return messages;
    }
    const std::size_t total = (octets.size() + kPartOctets - 1) / kPartOctets;
    if (total > static_cast<std::size_t>(kMaxMessages)) return messages;
    // The reference tells this tune's parts from another's: a sum of its
    // octets, the same for the same tune.
    unsigned reference = 0;
    for (std::uint8_t octet : octets) reference = (reference * 31 + octet) & 0xFF;
    for (std::size_t seq = 0; seq < total; ++seq) {
        std::vector<std::uint8_t> part = {0x0B,
                                          0x05,
                                          0x04,
                                          portHigh,
                                          portLow,
                                          0x00,
                                          0x00,
                                          0x00,
                                          0x03,
                                          static_cast<std::uint8_t>(reference),
                                          static_cast<std::uint8_t>(total),
                                          static_cast<std::uint8_t>(seq + 1)};
        const std::size_t from = seq * kPartOctets;
        const std::size_t to = std::min(octets.size(), from + kPartOctets);
        part.insert(part.end(), octets.begin() + static_cast<std::ptrdiff_t>(from),
                    octets.begin() + static_cast<std::ptrdiff_t>(to));
        messages.push_back(std::move(part));
    }
    return messages;
}

}  // namespace pelorin::ringtone
