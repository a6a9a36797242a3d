#include "phone/inbox.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "phone/at_answer.h"
#include "phone/hex.h"

namespace pelorin::phone {

namespace {

using at::info;
using at::kOk;
using at::unquoted;
using at::valueOf;

// 27.005 message service errors.
const std::string kInvalidIndex = "\r\n+CMS ERROR: 321\r\n";
const std::string kInvalidParameter = "\r\n+CMS ERROR: 304\r\n";

// A whole decimal number of at most five digits.
std::optional<unsigned> number(std::string_view text) {
    unsigned value = 0;
    if (text.empty() || text.size() > 5) return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::vector<std::string> fields(const std::string& value) {
    std::vector<std::string> result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = value.find(',', start);
        result.push_back(value.substr(start, comma - start));
        if (comma == std::string::npos) return result;
        start = comma + 1;
    }
}

std::string trimmed(std::string_view line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = line.find_last_not_of(" \t\r");
    return std::string(line.substr(first, last - first + 1));
}

}  // namespace

std::size_t StoredMessage::tpduLength() const {
    if (pdu.empty() || 1u + pdu[0] > pdu.size()) return 0;
    return pdu.size() - 1u - pdu[0];
}

std::optional<unsigned> StoredMessage::messageClass() const {
    // Service centre, first octet, sender (digit count, type, digits), PID, DCS.
    if (pdu.empty()) return std::nullopt;
    const std::size_t first = 1u + pdu[0];
    if (first + 2 >= pdu.size() || (pdu[first] & 0x03) != 0) return std::nullopt;
    const std::size_t codingAt = first + 3 + (pdu[first + 1] + 1u) / 2 + 1;
    if (codingAt >= pdu.size()) return std::nullopt;
    const std::uint8_t coding = pdu[codingAt];
    // General data coding with its class bit (also marked for deletion), and
    // the data coding / message class group.
    if ((coding & 0x80) == 0 && (coding & 0x10) != 0) return coding & 0x03u;
    if ((coding & 0xF0) == 0xF0) return coding & 0x03u;
    return std::nullopt;
}

Result<std::optional<StoredMessage>> parseInboxLine(std::string_view text) {
    using Failure = Result<std::optional<StoredMessage>>;
    const std::string line = trimmed(text);
    if (line.empty() || line[0] == '#') return std::optional<StoredMessage>();
    StoredMessage message;
    std::string_view hex = line;
    if (const std::size_t comma = line.find(','); comma != std::string::npos) {
        const auto status = number(std::string_view(line).substr(0, comma));
        if (!status || *status > 3) return Failure::failure("the status is not 0, 1, 2 or 3");
        message.status = static_cast<MessageStatus>(*status);
        hex.remove_prefix(comma + 1);
    }
    // Checked before decoding, so that a huge line is never turned into octets.
    if (hex.size() > 2 * kMaxPduOctets)
        return Failure::failure("longer than an SMS can be (" + std::to_string(kMaxPduOctets) + " octets)");
    auto octets = parseHex(hex);
    if (!octets || octets->empty()) return Failure::failure("not a PDU of hex digit pairs");
    message.pdu = std::move(*octets);
    if (1u + message.pdu[0] >= message.pdu.size()) return Failure::failure("nothing after the service-centre field");
    return std::optional<StoredMessage>(std::move(message));
}

Result<std::vector<StoredMessage>> parseInboxText(std::string_view text) {
    using Failure = Result<std::vector<StoredMessage>>;
    std::vector<StoredMessage> messages;
    unsigned lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        auto message = parseInboxLine(line);
        if (!message) return Failure::failure("line " + std::to_string(lineNumber) + ": " + message.error());
        if (message.value()) messages.push_back(std::move(*message.value()));
    }
    return messages;
}

std::vector<InboxLineReader::Line> InboxLineReader::add(std::string_view bytes) {
    std::vector<Line> lines;
    for (char c : bytes) {
        if (c != '\n') {
            if (line_.size() < kMaxLine) {
                line_.push_back(c);
            } else {
                overlong_ = true;
            }
            continue;
        }
        ++lineNumber_;
        if (std::exchange(overlong_, false)) {
            lines.push_back({lineNumber_, Result<std::optional<StoredMessage>>::failure(
                                              "longer than " + std::to_string(kMaxLine) + " characters")});
        } else {
            lines.push_back({lineNumber_, parseInboxLine(line_)});
        }
        line_.clear();
    }
    return lines;
}

std::optional<unsigned> Inbox::file(StoredMessage message) {
    for (unsigned index = 1; index <= kSimCapacity; ++index) {
        if (sim_.count(index) == 0) {
            sim_.emplace(index, std::move(message));
            return index;
        }
    }
    return std::nullopt;
}

void Inbox::reset() { std::fill(std::begin(selected_), std::end(selected_), Memory::Sim); }

std::map<unsigned, StoredMessage>* Inbox::readable() { return selected_[0] == Memory::Phone ? &none_ : &sim_; }

std::optional<std::string> Inbox::answer(const std::string& command, const std::string& syntaxError) {
    static const std::string kMemories = "(\"SM\",\"ME\",\"MT\")";
    if (command == "+CPMS?") {
        static const char* const kNames[] = {"SM", "ME", "MT"};
        std::string line = "+CPMS: ";
        for (int i = 0; i < 3; ++i) {
            if (i > 0) line += ",";
            line += std::string("\"") + kNames[static_cast<int>(selected_[i])] + "\"," + counts(selected_[i]);
        }
        return info(line);
    }
    if (command == "+CPMS=?") return info("+CPMS: " + kMemories + "," + kMemories + "," + kMemories);
    if (const auto value = valueOf(command, "+CPMS")) return storageAnswer(*value, syntaxError);
    if (command == "+CMGL") return list("0", syntaxError);
    if (command == "+CMGL=?") return info("+CMGL: (0-4)");
    if (const auto value = valueOf(command, "+CMGL")) return list(*value, syntaxError);
    if (command == "+CMGR=?") return kOk;
    if (const auto value = valueOf(command, "+CMGR")) return read(*value, syntaxError);
    if (command == "+CMGD=?") {
        std::string used;
        for (const auto& [index, message] : *readable()) used += (used.empty() ? "" : ",") + std::to_string(index);
        return info("+CMGD: (" + used + "),(0-4)");
    }
    if (const auto value = valueOf(command, "+CMGD")) return remove(*value, syntaxError);
    return std::nullopt;
}

std::string Inbox::counts(Memory memory) const {
    const std::size_t used = memory == Memory::Phone ? 0 : sim_.size();
    const unsigned total = memory == Memory::Sim     ? kSimCapacity
                           : memory == Memory::Phone ? kPhoneCapacity
                                                     : kSimCapacity + kPhoneCapacity;
    return std::to_string(used) + "," + std::to_string(total);
}

// AT+CPMS=<mem1>[,<mem2>[,<mem3>]]: the memories for reading, writing and
// receiving; the answer gives the counts of all three.
std::string Inbox::storageAnswer(const std::string& value, const std::string& syntaxError) {
    const auto names = fields(value);
    if (names.size() > 3) return syntaxError;
    Memory chosen[3] = {selected_[0], selected_[1], selected_[2]};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string name = unquoted(names[i]);
        if (name == "SM") {
            chosen[i] = Memory::Sim;
        } else if (name == "ME") {
            chosen[i] = Memory::Phone;
        } else if (name == "MT") {
            chosen[i] = Memory::Both;
        } else {
            return syntaxError;
        }
    }
    std::copy(std::begin(chosen), std::end(chosen), std::begin(selected_));
    return info("+CPMS: " + counts(selected_[0]) + "," + counts(selected_[1]) + "," + counts(selected_[2]));
}

// AT+CMGL=<stat>: 0 received unread, 1 received read, 2 stored unsent,
// 3 stored sent, 4 all. Unread messages listed become read.
std::string Inbox::list(const std::string& value, const std::string& syntaxError) {
    const auto status = number(value);
    if (!status) return syntaxError;
    if (*status > 4) return kInvalidParameter;
    std::string reply;
    for (auto& [index, message] : *readable()) {
        if (*status != 4 && static_cast<unsigned>(message.status) != *status) continue;
        reply += "\r\n+CMGL: " + std::to_string(index) + "," + std::to_string(static_cast<unsigned>(message.status)) +
                 ",," + std::to_string(message.tpduLength()) + "\r\n" + toHex(message.pdu);
        if (message.status == MessageStatus::ReceivedUnread) message.status = MessageStatus::ReceivedRead;
    }
    return reply + (reply.empty() ? "" : "\r\n") + kOk;
}

std::string Inbox::read(const std::string& value, const std::string& syntaxError) {
    const auto index = number(value);
    if (!index) return syntaxError;
    auto* messages = readable();
    const auto found = messages->find(*index);
    if (found == messages->end()) return kInvalidIndex;
    StoredMessage& message = found->second;
    const std::string reply = "\r\n+CMGR: " + std::to_string(static_cast<unsigned>(message.status)) + ",," +
                              std::to_string(message.tpduLength()) + "\r\n" + toHex(message.pdu) + "\r\n" + kOk;
    if (message.status == MessageStatus::ReceivedUnread) message.status = MessageStatus::ReceivedRead;
    return reply;
}

// AT+CMGD=<index>[,<flag>]: flag 0 deletes the index, 1 every read message,
// 2 also the sent ones, 3 also the unsent ones, 4 everything.
std::string Inbox::remove(const std::string& value, const std::string& syntaxError) {
    const auto parts = fields(value);
    if (parts.size() > 2) return syntaxError;
    const auto index = number(parts[0]);
    const auto flag = parts.size() == 2 ? number(parts[1]) : std::optional<unsigned>(0);
    if (!index || !flag) return syntaxError;
    if (*flag > 4) return kInvalidParameter;
    auto* messages = readable();
    if (*flag == 0) {
        if (messages->erase(*index) == 0) return kInvalidIndex;
        return kOk;
    }
    std::erase_if(*messages, [flag](const auto& entry) {
        const MessageStatus status = entry.second.status;
        if (*flag == 4) return true;
        if (status == MessageStatus::ReceivedRead) return true;
        if (status == MessageStatus::StoredSent) return *flag >= 2;
        if (status == MessageStatus::StoredUnsent) return *flag >= 3;
        return false;
    });
    return kOk;
}

}  // namespace pelorin::phone
