#include "phone/sim_quirks.h"

#include <algorithm>
#include <utility>

#include "phone/at_answer.h"

namespace pelorin::phone {

namespace {

using at::info;
using at::kOk;
using at::unquoted;
using at::valueOf;

const std::string kPinRequired = "\r\n+CME ERROR: 11\r\n";
const std::string kPukRequired = "\r\n+CME ERROR: 12\r\n";
const std::string kSimBusy = "\r\n+CME ERROR: 14\r\n";
const std::string kWrongPassword = "\r\n+CME ERROR: 16\r\n";
const std::string kNotAllowed = "\r\n+CME ERROR: 3\r\n";
const std::string kCentreUnknown = "\r\n+CMS ERROR: 330\r\n";
const std::string kMaskPattern = "CPIN=\"";

// Commands that need the SIM: the short message service and the subscriber.
bool needsSim(const std::string& command) {
    if (command.rfind("+CMGF", 0) == 0) return false;
    for (const char* prefix : {"+CMG", "+CPMS", "+CSCA", "+CSMS", "+CNMI", "+CNUM", "+CIMI"})
        if (command.rfind(prefix, 0) == 0) return true;
    return false;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<PromptStyle> promptStyleFromName(std::string_view name) {
    if (name == "space") return PromptStyle::Space;
    if (name == "bare") return PromptStyle::Bare;
    if (name == "newline") return PromptStyle::Newline;
    if (name == "same-line") return PromptStyle::SameLine;
    return std::nullopt;
}

SimQuirks::SimQuirks(SimQuirkOptions options)
    : options_(std::move(options)), state_(options_.pin.empty() ? SimState::Ready : SimState::PinWanted) {
    switch (options_.prompt) {
        case PromptStyle::Space:
            prompt_ = "\r\n> ";
            break;
        case PromptStyle::Bare:
            prompt_ = "\r\n>";
            break;
        case PromptStyle::Newline:
            prompt_ = "\r\n>\r\n";
            break;
        case PromptStyle::SameLine:
            prompt_ = "> ";
            break;
    }
}

void SimQuirks::switchOn(Clock::time_point now) {
    if (std::exchange(switchedOn_, true)) return;
    busyUntil_ = now + options_.simBusyFor;
}

std::optional<std::string> SimQuirks::answer(const std::string& command, Clock::time_point now) {
    // A busy SIM answers only the plain "AT".
    if (!command.empty() && now < busyUntil_) return kSimBusy;
    if (auto reply = pinAnswer(command, now)) return reply;
    if (auto reply = identity(command)) return reply;
    return centre(command);
}

std::optional<std::string> SimQuirks::pinAnswer(const std::string& command, Clock::time_point now) {
    if (options_.pin.empty()) return std::nullopt;
    if (command == "+CPIN?") {
        if (state_ == SimState::PinWanted) return info("+CPIN: SIM PIN");
        if (state_ == SimState::PukWanted) return info("+CPIN: SIM PUK");
        return info("+CPIN: READY");
    }
    if (const auto value = valueOf(command, "+CPIN")) {
        if (state_ == SimState::PukWanted) return kPukRequired;
        if (state_ == SimState::Ready) return kNotAllowed;
        if (unquoted(*value) == options_.pin) {
            state_ = SimState::Ready;
            busyUntil_ = now + options_.simBusyFor;
            return kOk;
        }
        if (++wrongPins_ >= kWrongPinsBeforePuk) state_ = SimState::PukWanted;
        return kWrongPassword;
    }
    if (state_ != SimState::Ready && needsSim(command))
        return state_ == SimState::PinWanted ? kPinRequired : kPukRequired;
    return std::nullopt;
}

std::optional<std::string> SimQuirks::identity(const std::string& command) const {
    if (options_.model.empty()) return std::nullopt;
    const std::size_t space = options_.model.find(' ');
    const std::string maker = options_.model.substr(0, space);
    const std::string model = space == std::string::npos ? options_.model : options_.model.substr(space + 1);
    if (command == "I") return info(options_.model);
    if (command == "+CGMI" || command == "+GMI") return info(maker);
    if (command == "+CGMM" || command == "+GMM") return info(model);
    return std::nullopt;
}

std::optional<std::string> SimQuirks::centre(const std::string& command) {
    if (!options_.noSmscNumber) return std::nullopt;
    if (command == "+CSCA?") {
        if (centre_.empty()) return info("+CSCA: \"\",129");
        return info("+CSCA: \"" + centre_ + "\"," + (centre_[0] == '+' ? "145" : "129"));
    }
    if (const auto value = valueOf(command, "+CSCA")) {
        const std::string number = unquoted(value->substr(0, value->find(',')));
        const std::string digits = number.starts_with('+') ? number.substr(1) : number;
        if (digits.empty() || digits.size() > 20 || !std::all_of(digits.begin(), digits.end(), isDigit))
            return "\r\n+CMS ERROR: 304\r\n";
        centre_ = number;
        return kOk;
    }
    return std::nullopt;
}

std::optional<std::string> SimQuirks::refusePdu() const {
    if (options_.noSmscNumber && centre_.empty()) return kCentreUnknown;
    return std::nullopt;
}

const std::string& SimQuirks::prompt() const { return prompt_; }

bool SimQuirks::holdsLineEndEcho(std::string_view line) const {
    if (options_.prompt != PromptStyle::SameLine) return false;
    std::string upper;
    for (char c : line)
        if (c != ' ') upper.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    return upper.rfind("AT+CMGS=", 0) == 0;
}

bool SimQuirks::keeps(char c, Clock::time_point now) {
    if (!options_.dropsFastWrites) return true;
    if (now - lastArrival_ >= kFastGap) run_ = 0;
    lastArrival_ = now;
    if (c == '\r' || c == 0x1A || c == 0x1B) {
        run_ = 0;
        return true;
    }
    return ++run_ <= kFastRun;
}

std::string SimQuirks::masked(std::string_view received) {
    std::string out(received);
    for (char& c : out) {
        if (masking_) {
            if (isDigit(c)) {
                c = '*';
                continue;
            }
            masking_ = false;
        }
        const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper == kMaskPattern[maskMatched_]) {
            if (++maskMatched_ == kMaskPattern.size()) {
                masking_ = true;
                maskMatched_ = 0;
            }
        } else {
            maskMatched_ = upper == kMaskPattern[0] ? 1 : 0;
        }
    }
    return out;
}

}  // namespace pelorin::phone
