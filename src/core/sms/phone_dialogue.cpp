#include "sms/phone_dialogue.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace pelorin {

namespace {

// Status lines.
constexpr const char* kOpeningPort = "Opening COM port";
constexpr const char* kSettingUpConnection = "Setting up connection";
constexpr const char* kSettingUpPhone = "Setting up phone";
constexpr const char* kSendingLogo = "Sending logo";
constexpr const char* kWaitingForAcknowledgement = "Waiting for acknowledgement";

// Failure outcomes.
constexpr const char* kCannotOpenPort = "Cannot open COM port";
constexpr const char* kErrorInConnection = "Error in connection";
constexpr const char* kCommunicationError = "Communication error";
constexpr const char* kMessageSendError = "Message send error";
constexpr const char* kMessageSendTimeout = "Message send timeout";
constexpr const char* kInvalidAddressing = "Number or network code contains invalid characters";

constexpr std::string_view kPduModeCommand = "AT+CMGF=0\r\n";
constexpr std::string_view kPduModeEcho = "AT+CMGF=0";

constexpr std::uint8_t kCtrlZ = 0x1A;
constexpr std::uint8_t kEscape = 0x1B;

constexpr int kCommandWaitMs = 1000;
constexpr int kAcknowledgementRoundMs = 2000;
constexpr int kAcknowledgementRounds = 15;

// The most reply bytes kept from one read sequence.
constexpr std::size_t kReplyCapacity = 1024;

bool isPrintableAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte <= 0x7E;
    });
}

// One conversation with the phone over an open port. Each step returns
// nullptr when it went through, otherwise the outcome that ends the job.
class Dialogue {
public:
    Dialogue(SerialPort& port, Sleeper& sleeper, SendReporter& reporter)
        : port_(port), sleeper_(sleeper), reporter_(reporter) {}

    const char* sendAll(const std::vector<MessagePart>& parts, const char* successOutcome) {
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const MessagePart& part = parts[i];
            reporter_.caption(part.caption);
            if (i == 0) {
                reporter_.status(kSettingUpConnection);
                if (const char* failure = switchToPduMode()) return failure;
                reporter_.status(kSettingUpPhone);
            }
            if (const char* failure = announceMessage(part.length)) return failure;
            if (const char* failure = submit(part.pdu)) return failure;
        }
        return successOutcome;
    }

private:
    const char* switchToPduMode() {
        if (!exchange(kPduModeCommand)) return kErrorInConnection;
        // A phone that does not echo commands is not one this dialogue can drive.
        if (!replyContains("OK") || !replyContains(kPduModeEcho)) return kCommunicationError;
        return nullptr;
    }

    const char* announceMessage(int length) {
        if (!exchange("AT+CMGS=" + std::to_string(length) + "\r\n")) return kErrorInConnection;
        if (!replyContains(">")) return kCommunicationError;
        return nullptr;
    }

    // Writes a command, gives the phone a second, then takes one read of its
    // reply. false when the read failed.
    bool exchange(std::string_view command) {
        writeText(command);
        sleeper_.sleepMs(kCommandWaitMs);
        clearReply();
        return readMore();
    }

    // Types the PDU with its Ctrl-Z in one write and waits for "OK" or
    // "ERROR", collecting the reply over up to 15 rounds of 2 s.
    const char* submit(const std::string& pdu) {
        reporter_.status(kSendingLogo);
        std::vector<std::uint8_t> bytes(pdu.begin(), pdu.end());
        bytes.push_back(kCtrlZ);
        port_.write(bytes);

        clearReply();
        bool answered = false;
        for (int round = 0; round < kAcknowledgementRounds && !answered; ++round) {
            sleeper_.sleepMs(kAcknowledgementRoundMs);
            reporter_.status(kWaitingForAcknowledgement);
            const std::size_t before = received_;
            if (!readMore()) return kErrorInConnection;
            if (received_ > before) answered = replyContains("OK") || replyContains("ERROR");
        }
        if (!answered) {
            const std::uint8_t escape = kEscape;  // abandons the message at the phone
            port_.write(std::span<const std::uint8_t>(&escape, 1));
            return kMessageSendTimeout;
        }
        // A reply with both counts as refused.
        if (replyContains("ERROR")) return kMessageSendError;
        return nullptr;
    }

    void writeText(std::string_view text) {
        port_.write(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }

    void clearReply() {
        reply_.fill(0);
        received_ = 0;
    }

    // Reads behind what this sequence has received, into the room that is
    // left; a port claiming more than it was asked for is held to the room.
    bool readMore() {
        const std::size_t room = kReplyCapacity - received_;
        std::size_t got = 0;
        if (!port_.read(reply_.data() + received_, room, got)) return false;
        received_ += std::min(got, room);
        reply_[received_] = 0;
        return true;
    }

    // Searches every byte received in this sequence; a zero byte from the
    // phone does not end the text.
    bool replyContains(std::string_view needle) const {
        const std::string_view text(reinterpret_cast<const char*>(reply_.data()), received_);
        return text.find(needle) != std::string_view::npos;
    }

    SerialPort& port_;
    Sleeper& sleeper_;
    SendReporter& reporter_;
    std::array<std::uint8_t, kReplyCapacity + 1> reply_{};
    std::size_t received_ = 0;
};

}  // namespace

bool IsSuccessOutcome(std::string_view outcome) {
    return outcome == kLogoSentOutcome || outcome == kPictureMessageSentOutcome;
}

bool HasPrintableAddressing(const SendJob& job) {
    return isPrintableAscii(job.Number) && isPrintableAscii(job.CountryCode) && isPrintableAscii(job.OperatorCode);
}

void RunSendJob(const SendJob& job, const std::string& portName, SerialPortOpener& opener, Sleeper& sleeper,
                SendReporter& reporter) {
    // The number and codes go into the PDU text as they are; a control
    // character among them (Ctrl-Z, CR, ESC) would end or break the message
    // on the line, so such a job never gets that far.
    if (!HasPrintableAddressing(job)) {
        reporter.end(kInvalidAddressing);
        return;
    }
    const std::vector<MessagePart> parts = BuildSendParts(job);
    if (parts.empty()) {  // not a kind of job this program sends
        reporter.end(kCommunicationError);
        return;
    }
    const char* successOutcome =
        job.Kind == SendJobKind::PictureMessage ? kPictureMessageSentOutcome.data() : kLogoSentOutcome.data();

    reporter.status(kOpeningPort);
    std::unique_ptr<SerialPort> port = opener.open(portName);
    if (!port) {
        reporter.end(kCannotOpenPort);
        return;
    }
    Dialogue dialogue(*port, sleeper, reporter);
    const char* outcome = dialogue.sendAll(parts, successOutcome);
    reporter.end(outcome);
    port->close();
}

}  // namespace pelorin
