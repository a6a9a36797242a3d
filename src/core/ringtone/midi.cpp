#include "ringtone/midi.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "util/text.h"

namespace pelorin::ringtone {

namespace {

constexpr unsigned kTicksPerQuarter = 384;
constexpr unsigned kTicksPerUnit = kTicksPerQuarter / 32;  // a unit is a 1/128 note
constexpr std::size_t kMaxEvents = 1u << 20;
constexpr std::size_t kMaxNotes = 4096;

void putVariable(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (n-- > 0) out.push_back(static_cast<std::uint8_t>(groups[n] | (n > 0 ? 0x80 : 0)));
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int octets) {
    for (int k = octets - 1; k >= 0; --k) out.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
}

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool has(std::size_t n) const { return n <= bytes_.size() - at_; }
    bool octet(std::uint8_t& value) {
        if (!has(1)) return false;
        value = bytes_[at_++];
        return true;
    }
    bool bigEndian(int octets, std::uint32_t& value) {
        if (!has(static_cast<std::size_t>(octets))) return false;
        value = 0;
        for (int k = 0; k < octets; ++k) value = (value << 8) | bytes_[at_++];
        return true;
    }
    bool variable(std::uint32_t& value) {
        value = 0;
        for (int k = 0; k < 4; ++k) {
            std::uint8_t octet = 0;
            if (!this->octet(octet)) return false;
            value = (value << 7) | (octet & 0x7Fu);
            if ((octet & 0x80) == 0) return true;
        }
        return false;  // more than four octets
    }
    bool skip(std::size_t n) {
        if (!has(n)) return false;
        at_ += n;
        return true;
    }
    std::span<const std::uint8_t> take(std::size_t n) {
        const auto part = bytes_.subspan(at_, n);
        at_ += n;
        return part;
    }
    bool atEnd() const { return at_ >= bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

struct Event {
    std::uint64_t tick = 0;
    bool on = false;
    int channel = 0;
    int key = 0;
};

struct TrackFacts {
    std::optional<std::uint32_t> tempo;  // microseconds a quarter
    std::string name;
    std::uint64_t end = 0;  // the latest end of a track: a tune's closing rest
};

// Reads one track's events; false with why on damage.
bool readTrack(std::span<const std::uint8_t> track, std::vector<Event>& events, TrackFacts& facts, std::string& why) {
    Reader reader(track);
    std::uint64_t tick = 0;
    std::uint8_t status = 0;
    while (!reader.atEnd()) {
        std::uint32_t delta = 0;
        if (!reader.variable(delta)) return why = "a delta time is damaged", false;
        tick += delta;
        std::uint8_t first = 0;
        if (!reader.octet(first)) return why = "an event is cut short", false;
        if (first == 0xFF) {
            std::uint8_t type = 0;
            std::uint32_t length = 0;
            if (!reader.octet(type) || !reader.variable(length) || !reader.has(length))
                return why = "a meta event is cut short", false;
            const auto data = reader.take(length);
            if (type == 0x51 && length == 3 && !facts.tempo)
                facts.tempo = (std::uint32_t{data[0]} << 16) | (std::uint32_t{data[1]} << 8) | data[2];
            if (type == 0x03 && facts.name.empty()) {
                std::u32string characters(data.begin(), data.end());
                facts.name = fittedName(characters);
            }
            if (type == 0x2F) {
                facts.end = std::max(facts.end, tick);
                return true;
            }
            continue;
        }
        if (first == 0xF0 || first == 0xF7) {
            std::uint32_t length = 0;
            if (!reader.variable(length) || !reader.skip(length))
                return why = "a system exclusive event is cut short", false;
            continue;
        }
        std::uint8_t data1 = 0;
        if (first & 0x80) {
            status = first;
            if (!reader.octet(data1)) return why = "an event is cut short", false;
        } else {
            if (status == 0) return why = "a running status without a status", false;
            data1 = first;
        }
        if (status >= 0xF0) return why = "an unknown system event", false;
        const unsigned kind = status >> 4u;
        const bool twoOctets = kind != 0xC && kind != 0xD;
        std::uint8_t data2 = 0;
        if (twoOctets && !reader.octet(data2)) return why = "an event is cut short", false;
        if ((kind == 0x9 || kind == 0x8) && events.size() < kMaxEvents) {
            events.push_back(Event{tick, kind == 0x9 && data2 > 0, status & 0x0F, data1 & 0x7F});
        }
    }
    return true;
}

// Splits a length into the model's lengths: the nearest one when it is no
// longer than the longest, else the longest ones first.
void appendLengths(std::vector<Note>& notes, Note note, std::uint64_t ticks) {
    std::uint64_t units = (ticks + kTicksPerUnit / 2) / kTicksPerUnit;
    static const auto kChoices = [] {
        std::vector<std::pair<int, std::pair<Duration, Dots>>> choices;
        for (int d = 0; d <= 5; ++d)
            for (int s = 0; s <= 2; ++s)
                choices.push_back({lengthUnits(static_cast<Duration>(d), static_cast<Dots>(s)),
                                   {static_cast<Duration>(d), static_cast<Dots>(s)}});
        std::sort(choices.begin(), choices.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        return choices;
    }();
    while (units >= 2 && notes.size() < kMaxNotes) {
        const auto* best = &kChoices.front();
        if (units <= static_cast<std::uint64_t>(kChoices.front().first)) {
            for (const auto& choice : kChoices) {
                const auto distance = [units](int length) {
                    return units > static_cast<std::uint64_t>(length) ? units - static_cast<std::uint64_t>(length)
                                                                      : static_cast<std::uint64_t>(length) - units;
                };
                if (distance(choice.first) < distance(best->first)) best = &choice;
            }
        }
        note.duration = best->second.first;
        note.dots = best->second.second;
        notes.push_back(note);
        units -= std::min<std::uint64_t>(units, static_cast<std::uint64_t>(best->first));
    }
}

}  // namespace

std::vector<std::uint8_t> writeMidi(const Ringtone& ringtone) {
    std::vector<std::uint8_t> track;
    const std::string name = toOctets(decodeUtf8(ringtone.name));
    track.insert(track.end(), {0x00, 0xFF, 0x03});
    putVariable(track, static_cast<std::uint32_t>(name.size()));
    track.insert(track.end(), name.begin(), name.end());
    track.insert(track.end(), {0x00, 0xFF, 0x51, 0x03});
    putBigEndian(track, 60000000u / static_cast<std::uint32_t>(std::max(ringtone.tempo, 1)), 3);
    std::uint32_t pending = 0;  // ticks of rest before the next event
    for (const Note& note : ringtone.notes) {
        const auto ticks = static_cast<std::uint32_t>(lengthUnits(note.duration, note.dots)) * kTicksPerUnit;
        if (note.isRest()) {
            pending += ticks;
            continue;
        }
        const auto key = static_cast<std::uint8_t>(std::clamp(midiKey(note), 0, 127));
        putVariable(track, pending);
        track.insert(track.end(), {0x90, key, 0x64});
        putVariable(track, ticks);
        track.insert(track.end(), {0x80, key, 0x40});
        pending = 0;
    }
    putVariable(track, pending);
    track.insert(track.end(), {0xFF, 0x2F, 0x00});

    std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1};
    putBigEndian(file, kTicksPerQuarter, 2);
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    putBigEndian(file, static_cast<std::uint32_t>(track.size()), 4);
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

MidiReading readMidi(std::span<const std::uint8_t> bytes) {
    MidiReading reading;
    Reader reader(bytes);
    std::uint32_t magic = 0, headerLength = 0, format = 0, tracks = 0, division = 0;
    if (!reader.bigEndian(4, magic) || magic != 0x4D546864) return reading.error = "Not a MIDI file", reading;
    if (!reader.bigEndian(4, headerLength) || headerLength < 6 || !reader.bigEndian(2, format) ||
        !reader.bigEndian(2, tracks) || !reader.bigEndian(2, division) || !reader.skip(headerLength - 6))
        return reading.error = "The MIDI header is cut short", reading;
    if (format > 1) return reading.error = "MIDI format " + std::to_string(format) + " is not read", reading;
    if (division == 0 || (division & 0x8000)) return reading.error = "MIDI time in frames is not read", reading;

    std::vector<Event> events;
    TrackFacts facts;
    for (std::uint32_t t = 0; t < tracks && !reader.atEnd();) {
        std::uint32_t chunk = 0, length = 0;
        if (!reader.bigEndian(4, chunk) || !reader.bigEndian(4, length) || !reader.has(length))
            return reading.error = "A MIDI chunk is cut short", reading;
        const auto data = reader.take(length);
        if (chunk != 0x4D54726B) continue;  // not a track: skipped, as the file format asks
        std::string why;
        if (!readTrack(data, events, facts, why))
            return reading.error = "MIDI track " + std::to_string(t + 1) + ": " + why, reading;
        ++t;
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.tick < b.tick; });

    Ringtone ringtone;
    ringtone.name = facts.name;
    ringtone.tempo = nearestTempo(facts.tempo && *facts.tempo > 0 ? static_cast<int>(60000000u / *facts.tempo) : 120);
    int channel = -1;
    for (const Event& event : events)
        if (event.on) {
            channel = event.channel;
            break;
        }
    std::erase_if(events, [channel](const Event& event) { return event.channel != channel; });
    // The highest key held sounds; every change of it ends a note or a rest.
    std::multiset<int> held;
    int sounding = -1;
    std::uint64_t since = 0;
    const auto flush = [&](std::uint64_t now) {
        if (now > since) {
            Note note;
            if (sounding >= 0) {
                int key = sounding;
                while (key < 60) key += 12;
                while (key > 107) key -= 12;
                note.pitch = static_cast<Pitch>((key - 60) % 12 + 1);
                note.scale = (key - 60) / 12 + 1;
            }
            const std::uint64_t ticks = (now - since) * kTicksPerQuarter / division;
            // Silence before the first note is no part of the tune.
            if (sounding >= 0 || !ringtone.notes.empty()) appendLengths(ringtone.notes, note, ticks);
        }
        since = now;
    };
    for (std::size_t k = 0; k < events.size(); ++k) {
        const Event& event = events[k];
        if (event.on) {
            held.insert(event.key);
        } else if (auto found = held.find(event.key); found != held.end()) {
            held.erase(found);
        }
        // Events at one tick change the sound once, after all of them.
        if (k + 1 < events.size() && events[k + 1].tick == event.tick) continue;
        const int now = held.empty() ? -1 : *held.rbegin();
        if (now != sounding) {
            flush(event.tick);
            sounding = now;
        }
    }
    if (sounding < 0 && facts.end > since) flush(facts.end);
    if (ringtone.notes.size() > kMaxNotes) ringtone.notes.resize(kMaxNotes);
    reading.ringtone = std::move(ringtone);
    return reading;
}

}  // namespace pelorin::ringtone
