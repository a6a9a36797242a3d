#include "ringtone/ringtone_editing.h"

#include "ringtone/rtttl.h"

namespace pelorin::ringtone {

RingtoneEditing::RingtoneEditing() {
    tone_.name = "Pelorin";
    tone_.tempo = 125;
    rewrite();
}

void RingtoneEditing::setText(std::string utf8) {
    text_ = std::move(utf8);
    const RtttlReading reading = readRtttl(text_);
    error_ = reading.error;
    errorPosition_ = reading.position;
    if (reading.ringtone) tone_ = *reading.ringtone;
}

void RingtoneEditing::setRingtone(Ringtone tone) {
    tone_ = std::move(tone);
    rewrite();
}

void RingtoneEditing::rewrite() {
    text_ = writeRtttl(tone_);
    error_.clear();
    errorPosition_ = 0;
}

void RingtoneEditing::append(Pitch pitch, int scale) {
    const Note note{pitch, scale, duration, dots};
    if (!readable()) {
        // The note alone, with its duration and octave spelled out.
        std::string spelled = std::to_string(durationDenominator(duration)) + pitchName(pitch);
        if (!note.isRest()) spelled += std::to_string(scale + kFirstOctave - 1);
        spelled += std::string(static_cast<std::size_t>(dots), '.');
        setText(text_ + (text_.empty() || text_.back() == ':' ? "" : ",") + spelled);
        return;
    }
    tone_.notes.push_back(note);
    rewrite();
}

void RingtoneEditing::removeLast() {
    if (!readable() || tone_.notes.empty()) return;
    tone_.notes.pop_back();
    rewrite();
}

std::array<std::string, RingtoneEditing::kColumns> RingtoneEditing::cells(const Note& note) {
    return {pitchName(note.pitch), note.isRest() ? "" : std::to_string(note.scale + kFirstOctave - 1),
            std::to_string(durationDenominator(note.duration)), std::string(static_cast<std::size_t>(note.dots), '.')};
}

bool RingtoneEditing::setCell(std::size_t row, int column, const std::string& value, std::string& why) {
    if (row >= tone_.notes.size() || column < 0 || column >= kColumns) {
        why = "No such note";
        return false;
    }
    // The row's note written out with the new value, read as RTTTL.
    std::array<std::string, kColumns> parts = cells(tone_.notes[row]);
    parts[static_cast<std::size_t>(column)] = value;
    if (column == 0 && value != "p" && value != "P" && parts[1].empty()) parts[1] = "5";
    const std::string spelled = parts[2] + parts[0] + (parts[0] == "p" || parts[0] == "P" ? "" : parts[1]) + parts[3];
    const RtttlReading reading = readRtttl("x:d=4,o=5:" + spelled);
    static constexpr const char* kWhat[] = {"a note: c to b, with # for a sharp, or p for a rest",
                                            "an octave from 4 to 7", "a duration of 1, 2, 4, 8, 16 or 32",
                                            "nothing, . or .."};
    if (!reading.ringtone || reading.ringtone->notes.size() != 1 || value.find(',') != std::string::npos) {
        why = "'" + value + "' is not " + kWhat[column];
        return false;
    }
    tone_.notes[row] = reading.ringtone->notes.front();
    rewrite();
    return true;
}

std::string RingtoneEditing::summary() const {
    const RingtoneBudget measured = budget();
    std::string text;
    if (measured.messages == 0) {
        text = measured.refusal;
    } else {
        text = std::to_string(tone_.notes.size()) + (tone_.notes.size() == 1 ? " note, " : " notes, ") +
               std::to_string(measured.octets) + " octets, " + std::to_string(measured.messages) +
               (measured.messages == 1 ? " message" : " messages");
    }
    for (const std::string& warning : measured.warnings) text += "\n" + warning;
    return text;
}

}  // namespace pelorin::ringtone
