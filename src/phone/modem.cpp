#include "phone/modem.h"

#include <algorithm>
#include <cctype>

namespace pelorin::phone {

namespace {

constexpr char kCtrlZ = 0x1A;
constexpr char kEscape = 0x1B;
constexpr char kBackspace = 0x08;
constexpr char kDelete = 0x7F;
constexpr unsigned kMaxAnnouncedLength = 255;

const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";
const std::string kPrompt = "\r\n> ";
const std::string kInvalidPdu = "\r\n+CMS ERROR: 304\r\n";
const std::string kUnknownError = "\r\n+CMS ERROR: 500\r\n";

std::string upperTrimmed(const std::string& line) {
    std::string result;
    for (char c : line) {
        if (c != ' ') result.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return result;
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

Modem::Modem(PhoneOptions options, Deliver deliver)
    : options_(options), deliver_(std::move(deliver)), echo_(options.echo), commands_(options.network) {}

void Modem::receive(std::string_view bytes, Clock::time_point now) {
    for (char c : bytes) {
        if (hangUp_) return;
        receiveByte(c, now);
    }
}

std::string Modem::takeOutput(Clock::time_point now) {
    std::string output;
    auto due = [now](const auto& item) { return item.first <= now; };
    for (const auto& item : scheduled_) {
        if (due(item)) output += item.second;
    }
    std::erase_if(scheduled_, due);
    return output;
}

Modem::Clock::time_point Modem::nextDue() const {
    auto next = Clock::time_point::max();
    for (const auto& item : scheduled_) next = std::min(next, item.first);
    return next;
}

std::vector<std::string> Modem::takeNotes() { return std::exchange(notes_, {}); }

void Modem::send(std::string text, Clock::time_point when) { scheduled_.emplace_back(when, std::move(text)); }

void Modem::receiveByte(char c, Clock::time_point now) {
    // ESC and Ctrl-Z are never echoed; outside PDU entry they mean nothing.
    if (c == kEscape || c == kCtrlZ) {
        lastWasCr_ = false;
        if (mode_ != Mode::Pdu) return;
        if (c == kEscape) {
            mode_ = Mode::Command;
            notes_.push_back("PDU entry abandoned by ESC");
        } else {
            finishPdu(now);
        }
        return;
    }
    // The LF of a CR LF line end belongs to the command just answered: it is
    // neither echoed nor taken into the next line (or into the PDU text).
    const bool lineFeedAfterCr = c == '\n' && lastWasCr_;
    lastWasCr_ = c == '\r';
    if (lineFeedAfterCr) return;
    if (echo_) send(std::string(1, c), now);
    if (mode_ == Mode::Pdu) {
        pduByte(c, now);
    } else {
        commandByte(c, now);
    }
}

void Modem::commandByte(char c, Clock::time_point now) {
    if (c == '\r') {
        std::string line = std::exchange(line_, {});
        if (std::exchange(lineOverflow_, false)) {
            send(kError, now);
            return;
        }
        runCommand(std::move(line), now);
        return;
    }
    if (c == '\n') return;
    if (c == kBackspace || c == kDelete) {
        if (!line_.empty()) line_.pop_back();
        return;
    }
    if (line_.size() >= kMaxCommandLine) {
        lineOverflow_ = true;
        return;
    }
    line_.push_back(c);
}

void Modem::pduByte(char c, Clock::time_point) {
    if (c == kBackspace || c == kDelete) {
        if (!pdu_.empty()) pdu_.pop_back();
        return;
    }
    if (pdu_.size() >= kMaxPduText) {
        pduOverflow_ = true;
        return;
    }
    pdu_.push_back(c);
}

void Modem::runCommand(std::string line, Clock::time_point now) {
    const std::string command = upperTrimmed(line);
    if (command.empty()) return;
    if (command.rfind("AT", 0) != 0) {
        send(kError, now);
        return;
    }
    const std::string rest = command.substr(2);
    if (rest.empty()) {
        send(kOk, now);
    } else if (rest == "E" || rest == "E0" || rest == "E1") {
        echo_ = rest == "E1";
        send(kOk, now);
    } else if (rest == "Z") {
        echo_ = options_.echo;
        commands_.reset();
        send(kOk, now);
    } else if (rest == "I") {
        send("\r\nPelorin simulated phone\r\n" + kOk, now);
    } else if (rest.rfind("+CMGF", 0) == 0) {
        if (options_.cmgfError) {
            send(kError, now);
        } else if (rest == "+CMGF=0") {
            send(kOk, now);
        } else if (rest == "+CMGF?") {
            send("\r\n+CMGF: 0\r\n" + kOk, now);
        } else if (rest == "+CMGF=?") {
            send("\r\n+CMGF: (0)\r\n" + kOk, now);
        } else {
            send(commands_.error(), now);  // text mode is not offered
        }
    } else if (rest.rfind("+CMGS=", 0) == 0) {
        const std::string number = rest.substr(6);
        if (!allDigits(number) || number.size() > 3) {
            send(commands_.error(), now);
            return;
        }
        const unsigned length = static_cast<unsigned>(std::stoul(number));
        if (length == 0 || length > kMaxAnnouncedLength) {
            send(kInvalidPdu, now);
            return;
        }
        if (options_.noPrompt) {
            notes_.push_back("AT+CMGS=" + number + " left unanswered");
            return;
        }
        announcedLength_ = length;
        pdu_.clear();
        pduOverflow_ = false;
        mode_ = Mode::Pdu;
        send(kPrompt, now);
    } else if (auto reply = commands_.answer(rest)) {
        send(std::move(*reply), now);
    } else {
        send(commands_.error(), now);
    }
}

void Modem::finishPdu(Clock::time_point now) {
    mode_ = Mode::Command;
    const unsigned part = ++parts_;
    const std::string label = "part " + std::to_string(part) + ": ";
    if (options_.hangUpAfter != 0 && part == options_.hangUpAfter) {
        hangUp_ = true;
        notes_.push_back(label + "received; hanging up");
        return;
    }
    // A busy phone reports incoming messages and calls between a PDU and its
    // answer.
    for (unsigned line = 1; line <= options_.unsolicitedLines; ++line)
        send(line % 2 == 1 ? "\r\n+CMTI: \"ME\"," + std::to_string(line) + "\r\n" : std::string("\r\nRING\r\n"), now);
    if (options_.pduError.matches(part)) {
        notes_.push_back(label + "answered ERROR");
        send(kError, now);
        return;
    }
    if (options_.silentAfterPdu.matches(part)) {
        notes_.push_back(label + "left unanswered");
        return;
    }
    const auto message =
        pduOverflow_ ? Result<SubmitMessage>::failure("PDU text too long") : decodeSubmitText(pdu_, announcedLength_);
    pdu_.clear();
    if (!message) {
        notes_.push_back(label + "refused: " + message.error());
        send(kInvalidPdu, now);
        return;
    }
    if (!deliver_(message.value())) {
        notes_.push_back(label + "could not be stored");
        send(kUnknownError, now);
        return;
    }
    const unsigned reference = reference_;
    reference_ = (reference_ + 1) % 256;
    notes_.push_back(label + "accepted as message " + std::to_string(reference));
    const std::string answer = "\r\n+CMGS: " + std::to_string(reference) + "\r\n" + kOk;
    if (options_.okInPieces) {
        // Everything up to the "O" now, the "K" and line end later.
        const std::size_t split = answer.size() - 3;
        send(answer.substr(0, split), now);
        send(answer.substr(split), now + options_.pieceDelay);
    } else {
        send(answer, now);
    }
}

}  // namespace pelorin::phone
