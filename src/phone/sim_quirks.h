#pragma once

// The ways real phones and modems differ from a well-behaved one, each behind
// its own switch: a SIM that wants its PIN, no SMS centre number, a SIM busy
// for a while, other forms of the PDU prompt, characters lost when a line
// arrives too fast, and another maker and model. With every switch off the
// phone answers exactly as without this module.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace pelorin::phone {

enum class PromptStyle {
    Space,     // "\r\n> "
    Bare,      // "\r\n>"
    Newline,   // "\r\n>\r\n"
    SameLine,  // "> " right after the command's echo, whose CR is not echoed
};

struct SimQuirkOptions {
    std::string pin;  // the SIM's PIN; empty: the SIM is ready at start
    bool noSmscNumber = false;
    std::chrono::milliseconds simBusyFor{0};  // from start and from a right PIN
    PromptStyle prompt = PromptStyle::Space;
    bool dropsFastWrites = false;
    std::string model;  // "MAKER MODEL ..."; empty: the phone's own names

    bool any() const {
        return !pin.empty() || noSmscNumber || simBusyFor.count() > 0 || prompt != PromptStyle::Space ||
               dropsFastWrites || !model.empty();
    }
};

// "space", "bare", "newline", "same-line".
std::optional<PromptStyle> promptStyleFromName(std::string_view name);

class SimQuirks {
public:
    using Clock = std::chrono::steady_clock;

    // Characters of a line that arrive less than kFastGap after kFastRun
    // others are lost (with dropsFastWrites).
    static constexpr auto kFastGap = std::chrono::milliseconds(5);
    static constexpr unsigned kFastRun = 32;
    static constexpr unsigned kWrongPinsBeforePuk = 3;

    explicit SimQuirks(SimQuirkOptions options);

    // The moment the phone was switched on, from which the SIM is busy;
    // only the first call counts.
    void switchOn(Clock::time_point now);

    // The answer to one command (upper case, without spaces and without its
    // "AT"; empty for a plain "AT") when a quirk decides it, or nothing when
    // the phone answers as usual.
    std::optional<std::string> answer(const std::string& command, Clock::time_point now);

    // The refusal of a complete PDU, or nothing when it may be taken.
    std::optional<std::string> refusePdu() const;

    // The prompt that asks for the PDU text.
    const std::string& prompt() const;
    // Whether the CR that ends this command line is left unechoed (the
    // prompt then follows on the same line).
    bool holdsLineEndEcho(std::string_view line) const;

    // Whether a received character reaches the phone; line ends always do.
    bool keeps(char c, Clock::time_point now);

    // For --transcript: the text with every PIN given in AT+CPIN="..."
    // masked, also when a command is split over several calls.
    std::string masked(std::string_view received);

    bool pinLocked() const { return state_ != SimState::Ready; }

private:
    enum class SimState { PinWanted, PukWanted, Ready };

    std::optional<std::string> pinAnswer(const std::string& command, Clock::time_point now);
    std::optional<std::string> identity(const std::string& command) const;
    std::optional<std::string> centre(const std::string& command);

    SimQuirkOptions options_;
    SimState state_;
    unsigned wrongPins_ = 0;
    bool switchedOn_ = false;
    Clock::time_point busyUntil_{};
    std::string centre_;  // set by AT+CSCA=
    std::string prompt_;
    unsigned run_ = 0;
    Clock::time_point lastArrival_{};
    std::size_t maskMatched_ = 0;  // how much of CPIN=" the transcript has just seen
    bool masking_ = false;
};

}  // namespace pelorin::phone
