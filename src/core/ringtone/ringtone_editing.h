#pragma once

// The logic behind the editor's Ringtone window: the RTTTL text and the
// table of notes kept in step, the piano row and duration buttons, and what
// the window says about the tune (its error at its place, or its size, the
// messages it takes and the warnings).

#include <array>
#include <optional>
#include <string>

#include "ringtone/ringtone.h"
#include "ringtone/smart_messaging.h"

namespace pelorin::ringtone {

class RingtoneEditing {
public:
    RingtoneEditing();

    // The text as typed, read at once. While it does not read, the table
    // keeps the last tune that did.
    void setText(std::string utf8);
    const std::string& text() const { return text_; }
    // A tune from a file: the text is written from it.
    void setRingtone(Ringtone tone);
    const Ringtone& ringtone() const { return tone_; }
    bool readable() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // The character of the error, counted from 1 (0 when there is none).
    std::size_t errorPosition() const { return errorPosition_; }

    // The duration and dots the piano row's notes and rests get.
    Duration duration = Duration::Quarter;
    Dots dots = Dots::None;
    // Appends a note (or a rest) of the current duration; with a text that
    // does not read, its RTTTL is added to the end of the text.
    void append(Pitch pitch, int scale);
    void removeLast();

    // The table: note ("c#", "p"), octave ("4" to "7", empty for a rest),
    // duration ("1" to "32") and dots ("", ".", "..").
    static constexpr int kColumns = 4;
    static std::array<std::string, kColumns> cells(const Note& note);
    // A cell typed in the table; false with why when it is not a value of
    // its column (the tune is then as it was).
    bool setCell(std::size_t row, int column, const std::string& value, std::string& why);

    // One line: "12 notes, 27 octets, 1 message", or why it cannot be sent;
    // then the warnings, one a line.
    std::string summary() const;
    RingtoneBudget budget() const { return measureRingtone(tone_); }

private:
    void rewrite();

    std::string text_;
    Ringtone tone_;
    std::string error_;
    std::size_t errorPosition_ = 0;
};

}  // namespace pelorin::ringtone
