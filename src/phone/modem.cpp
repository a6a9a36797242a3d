#include "phone/modem.h"

#include <algorithm>
#include <cctype>
#include <ctime>

#include "phone/delivery.h"
#include "phone/hex.h"

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

// The commands of one line after its "AT": split at each ";" that is not
// inside quotes. Empty commands (a ";" at the end) are dropped.
std::vector<std::string> splitCommands(const std::string& rest) {
    std::vector<std::string> commands;
    std::string current;
    bool quoted = false;
    for (char c : rest) {
        if (c == '"') quoted = !quoted;
        if (c == ';' && !quoted) {
            if (!current.empty()) commands.push_back(std::exchange(current, {}));
            continue;
        }
        current.push_back(c);
    }
    if (!current.empty()) commands.push_back(std::move(current));
    return commands;
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

Modem::Modem(PhoneOptions options, Deliver deliver)
    : options_(options),
      deliver_(std::move(deliver)),
      echo_(options.echo),
      commands_(options.network, options.ownNumber),
      quirks_(options.quirks) {
    for (auto& message : options_.inbox) commands_.inbox().file(std::move(message));
    options_.inbox.clear();
}

void Modem::receive(std::string_view bytes, Clock::time_point now) {
    quirks_.switchOn(now);
    for (char c : bytes) {
        if (hangUp_) return;
        if (!quirks_.keeps(c, now)) continue;  // lost on the way in
        receiveByte(c, now);
    }
    sendIndications(now);
}

bool Modem::receiveMessage(StoredMessage message, Clock::time_point now) {
    return arrive(std::move(message), "message: ", now);
}

// Where a new message goes by AT+CNMI=<mode>,<mt>: with mode 0 (at start and
// after ATZ) the phone says nothing; with mt 2 a message of no class or of
// class 0, 1 or 3 goes to the terminal as +CMT and is not kept, with mt 3
// only one of class 3 does; everything else is filed, announced by +CMTI when
// mt is 1 or more.
bool Modem::arrive(StoredMessage message, const std::string& label, Clock::time_point now) {
    const auto [mode, mt] = commands_.newMessageIndications();
    const bool announced = mode >= 1 && mode <= 3;
    const auto messageClass = message.messageClass();
    if (announced && ((mt == 2 && messageClass != 2u) || (mt == 3 && messageClass == 3u))) {
        indications_.push_back("\r\n+CMT: ," + std::to_string(message.tpduLength()) + "\r\n" + toHex(message.pdu) +
                               "\r\n");
        notes_.push_back(label + "handed to the terminal (+CMT)");
        sendIndications(now);
        return true;
    }
    const auto index = commands_.inbox().file(std::move(message));
    if (!index) {
        notes_.push_back(label + "not filed: the inbox is full");
        return false;
    }
    notes_.push_back(label + "filed in the inbox at index " + std::to_string(*index));
    if (announced && mt >= 1) indications_.push_back("\r\n+CMTI: \"SM\"," + std::to_string(*index) + "\r\n");
    sendIndications(now);
    return true;
}

// Unsolicited codes wait while a command line is typed or a PDU entered, and
// go behind every answer already scheduled, also one still to come in pieces.
void Modem::sendIndications(Clock::time_point now) {
    if (indications_.empty() || hangUp_ || mode_ != Mode::Command || !line_.empty()) return;
    Clock::time_point when = now;
    for (const auto& item : scheduled_) when = std::max(when, item.first);
    for (auto& indication : std::exchange(indications_, {})) send(std::move(indication), when);
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
    const bool heldEcho = c == '\r' && mode_ == Mode::Command && quirks_.holdsLineEndEcho(line_);
    if (echo_ && !heldEcho) send(std::string(1, c), now);
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

// One line may hold several commands after its "AT", separated by ";". Their
// information lines are answered together with one final result; the first
// command that fails ends the line with its error, and a command that asks
// for a PDU ends it with the prompt.
void Modem::runCommand(std::string line, Clock::time_point now) {
    const std::string command = upperTrimmed(line);
    if (command.empty()) return;
    if (command.rfind("AT", 0) != 0) {
        send(kError, now);
        return;
    }
    const std::string rest = command.substr(2);
    commandTime_ = now;
    std::string answered;
    for (const std::string& one : splitCommands(rest)) {
        std::string reply = runOne(one);
        if (reply.size() >= kOk.size() && reply.compare(reply.size() - kOk.size(), kOk.size(), kOk) == 0) {
            answered += reply.substr(0, reply.size() - kOk.size());
            if (answered.size() > kMaxLineAnswer) {
                notes_.push_back("the answers of one line went beyond " + std::to_string(kMaxLineAnswer) +
                                 " bytes; the rest of the line was not run");
                send(answered + commands_.error(), now);
                return;
            }
            continue;
        }
        if (!answered.empty() || !reply.empty()) send(answered + reply, now);
        return;
    }
    send(answered + kOk, now);
}

std::string Modem::runOne(const std::string& rest) {
    if (auto reply = quirks_.answer(rest, commandTime_)) return std::move(*reply);
    if (rest == "E" || rest == "E0" || rest == "E1") {
        echo_ = rest == "E1";
        return kOk;
    }
    // AT&F (factory defaults) is what some programs send instead of ATZ; the
    // phone has one set of settings, so both go back to it.
    if (rest == "Z" || rest == "&F" || rest == "&F0") {
        echo_ = options_.echo;
        commands_.reset();
        return kOk;
    }
    if (rest == "I") return "\r\nPelorin simulated phone\r\n" + kOk;
    if (rest.rfind("+CMGF", 0) == 0) {
        if (options_.cmgfError) return kError;
        if (rest == "+CMGF=0") return kOk;
        if (rest == "+CMGF?") return "\r\n+CMGF: 0\r\n" + kOk;
        if (rest == "+CMGF=?") return "\r\n+CMGF: (0)\r\n" + kOk;
        return commands_.error();  // text mode is not offered
    }
    if (rest == "+CMGS=?") return kOk;
    if (rest.rfind("+CMGS=", 0) == 0) {
        const std::string number = rest.substr(6);
        if (!allDigits(number) || number.size() > 3) return commands_.error();
        const unsigned length = static_cast<unsigned>(std::stoul(number));
        if (length == 0 || length > kMaxAnnouncedLength) return kInvalidPdu;
        if (options_.noPrompt) {
            notes_.push_back("AT+CMGS=" + number + " left unanswered");
            return {};
        }
        announcedLength_ = length;
        pdu_.clear();
        pduOverflow_ = false;
        mode_ = Mode::Pdu;
        return quirks_.prompt();
    }
    if (auto reply = commands_.answer(rest)) return std::move(*reply);
    return commands_.error();
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
    if (const auto refusal = quirks_.refusePdu()) {
        notes_.push_back(label + "refused: no SMS centre number");
        pdu_.clear();
        send(*refusal, now);
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
    std::string accepted = label + "accepted as message " + std::to_string(reference);
    if (message->ignoredOctets > 0)
        accepted += " (" + std::to_string(message->ignoredOctets) + " octets beyond its user data length ignored)";
    notes_.push_back(std::move(accepted));
    const std::string answer = "\r\n+CMGS: " + std::to_string(reference) + "\r\n" + kOk;
    if (options_.okInPieces) {
        // Everything up to the "O" now, the "K" and line end later.
        const std::size_t split = answer.size() - 3;
        send(answer.substr(0, split), now);
        send(answer.substr(split), now + options_.pieceDelay);
    } else {
        send(answer, now);
    }
    // After the answer, so that its announcement follows the +CMGS.
    if (options_.echoToInbox) echoToInbox(message.value(), label, now);
}

void Modem::echoToInbox(const SubmitMessage& message, const std::string& label, Clock::time_point now) {
    StoredMessage received;
    received.pdu = deliverFromSubmit(message, options_.ownNumber, std::time(nullptr));
    arrive(std::move(received), label, now);
}

}  // namespace pelorin::phone
