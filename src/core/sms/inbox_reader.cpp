#include "sms/inbox_reader.h"

#include <array>
#include <charconv>

#include "sms/at_reply.h"
#include "sms/phone_errors.h"

namespace pelorin {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::optional<unsigned> smallNumber(std::string_view text) {
    text = trimmed(text);
    unsigned value = 0;
    if (text.empty() || text.size() > 5) return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool isHex(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789ABCDEFabcdef") == std::string_view::npos;
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> result;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
        const auto line = trimmed(text.substr(start, i - start));
        if (!line.empty()) result.push_back(line);
        start = i + 1;
    }
    return result;
}

}  // namespace

std::vector<StoredPdu> parseMessageListing(std::string_view reply, const std::string& memory) {
    std::vector<StoredPdu> messages;
    const auto all = lines(reply);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!all[i].starts_with("+CMGL:")) continue;
        const std::string_view fields = all[i].substr(6);
        const std::size_t comma = fields.find(',');
        if (comma == std::string_view::npos) continue;
        const auto index = smallNumber(fields.substr(0, comma));
        const auto status = smallNumber(fields.substr(comma + 1, fields.find(',', comma + 1) - comma - 1));
        if (!index || !status || i + 1 >= all.size() || !isHex(all[i + 1])) continue;
        messages.push_back(StoredPdu{memory, *index, *status, std::string(all[i + 1])});
        ++i;
    }
    return messages;
}

PhoneInbox::PhoneInbox(std::unique_ptr<SerialPort> port, Sleeper& sleeper, const DialogueOptions& options)
    : port_(std::move(port)), sleeper_(sleeper), options_(options) {}

bool PhoneInbox::command(const std::string& text, std::string& detail) {
    const auto stopped = [this, &detail] {
        if (!isCancelled(options_.cancel)) return false;
        detail = kInboxReadingCancelled;
        return true;
    };
    reply_.clear();
    if (stopped()) return false;
    const std::string line = text + "\r\n";
    port_->write(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()));
    if (!options_.replyDriven) sleeper_.sleepUnlessCancelled(AtChannel::kCommandWaitMs, options_.cancel);
    MonotonicClock& clock = options_.clock != nullptr ? *options_.clock : steady_;
    reply_.clear();
    std::int64_t lastHeard = clock.nowMs();
    std::array<std::uint8_t, 4096> buffer{};
    for (;;) {
        if (stopped()) return false;
        std::size_t got = 0;
        if (!port_->read(buffer.data(), buffer.size(), got)) {
            detail = "The line to the phone failed";
            return false;
        }
        got = std::min(got, buffer.size());
        if (got > 0) {
            if (reply_.size() + got > kMaxReply) {
                detail = "The phone's answer to " + text + " is longer than " + std::to_string(kMaxReply) + " bytes";
                return false;
            }
            reply_.append(reinterpret_cast<const char*>(buffer.data()), got);
            lastHeard = clock.nowMs();
            if (scanReply(reply_, false) == ReplyEnd::Final) return true;
        } else if (clock.nowMs() - lastHeard >= kSilenceMs) {
            detail = "The phone did not answer " + text;
            return false;
        }
    }
}

// The command's reply must end in OK.
bool PhoneInbox::commandAccepted(const std::string& text, std::string& detail) {
    if (!command(text, detail)) return false;
    if (const auto error = findPhoneError(reply_)) {
        detail = describePhoneError(*error);
        return false;
    }
    // OK on a line of its own: the final result of a reply that names no error.
    for (const auto line : lines(reply_)) {
        if (line == "OK") return true;
    }
    detail = "The phone refused " + text;
    return false;
}

bool PhoneInbox::select(const std::string& memory, std::string& detail) {
    if (memory.empty() || memory == selected_) return true;
    if (!commandAccepted("AT+CPMS=\"" + memory + "\"", detail)) return false;
    selected_ = memory;
    return true;
}

bool PhoneInbox::readAll(std::vector<StoredPdu>& messages, std::string& detail) {
    messages.clear();
    if (!commandAccepted("AT+CMGF=0", detail)) return false;
    bool anyMemory = false;
    for (const std::string memory : {"SM", "ME"}) {
        std::string refused;
        if (!select(memory, refused)) {
            if (reply_.empty() || isCancelled(options_.cancel)) {
                detail = refused;  // silence or a failed line, not a refusal
                return false;
            }
            continue;
        }
        anyMemory = true;
        if (!commandAccepted("AT+CMGL=4", detail)) return false;
        auto listed = parseMessageListing(reply_, memory);
        messages.insert(messages.end(), listed.begin(), listed.end());
    }
    if (anyMemory) return true;
    if (!commandAccepted("AT+CMGL=4", detail)) return false;
    messages = parseMessageListing(reply_, "");
    return true;
}

bool PhoneInbox::remove(const StoredPdu& message, std::string& detail) {
    if (!select(message.memory, detail)) return false;
    return commandAccepted("AT+CMGD=" + std::to_string(message.index), detail);
}

PhoneLogos ReadPhoneLogos(const std::string& portName, SerialPortOpener& opener, Sleeper& sleeper,
                          const DialogueOptions& options) {
    PhoneLogos result;
    PortOpenFailure failure;
    auto port = opener.openExplaining(portName, failure);
    if (!port) {
        result.detail = describePortOpenFailure(failure);
        return result;
    }
    PhoneInbox inbox(std::move(port), sleeper, options);
    std::vector<StoredPdu> listed;
    if (!inbox.readAll(listed, result.detail)) return result;
    result.read = true;
    for (auto& item : collectReceived(listed)) {
        if (item.canvas || (item.kind == ReceivedKind::Ringtone && !item.ringtone.empty()))
            result.logos.push_back(std::move(item));
    }
    return result;
}

}  // namespace pelorin
