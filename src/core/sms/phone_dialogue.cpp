#include "sms/phone_dialogue.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "sms/at_reply.h"
#include "sms/phone_errors.h"

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

bool isDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "The phone already had ..." after a job was cancelled, or nothing when the
// phone had none of its messages.
std::string cancelledDetail(std::size_t handedOver, std::size_t total) {
    if (handedOver == 0) return {};
    if (total == 1) return "The phone already had the message; it may still be delivered";
    return "The phone already had " + std::to_string(handedOver) + " of " + std::to_string(total) +
           " messages; they may still be delivered";
}

// One conversation with the phone over an open port. Each step returns
// nullptr when it went through, otherwise the outcome that ends the job.
class Dialogue {
public:
    Dialogue(SerialPort& port, Sleeper& sleeper, SendReporter& reporter, const DialogueOptions& options)
        : channel_(port, sleeper, options), reporter_(reporter) {}

    const char* sendAll(const std::vector<MessagePart>& parts, const char* successOutcome) {
        const char* outcome = sendParts(parts, successOutcome);
        if (!channel_.cancelled() || outcome == successOutcome) return outcome;
        // Stopped on request: a phone waiting for the PDU text would take
        // the next program's commands as the message, so it is told to
        // abandon it; nothing else goes on the line.
        if (awaitingPdu_) writeEscape();
        return kSendCancelledOutcome.data();
    }

    // The phone's own error code in the reply that ended the job, if any.
    std::optional<PhoneErrorReply> phoneError() const { return findPhoneError(channel_.reply()); }

    // Messages the phone accepted, and the one it had been given but not yet
    // answered for when the job was cancelled.
    std::size_t handedOver() const { return accepted_ + (cancelledInFlight_ ? 1 : 0); }

private:
    const char* sendParts(const std::vector<MessagePart>& parts, const char* successOutcome) {
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
            ++accepted_;
        }
        return successOutcome;
    }

    void writeEscape() {
        const std::uint8_t escape = kEscape;
        channel_.write(std::span<const std::uint8_t>(&escape, 1));
    }

    const char* switchToPduMode() {
        if (!channel_.exchange(kPduModeCommand, false)) return kErrorInConnection;
        // A phone that does not echo commands is not one this dialogue can drive.
        if (!channel_.replyContains("OK") || !channel_.replyContains(kPduModeEcho)) return kCommunicationError;
        return nullptr;
    }

    const char* announceMessage(int length) {
        if (channel_.cancelled()) return kSendCancelledOutcome.data();
        // From here until the PDU's Ctrl-Z the phone waits for message text.
        awaitingPdu_ = true;
        if (!channel_.exchange("AT+CMGS=" + std::to_string(length) + "\r\n", true)) return kErrorInConnection;
        if (!channel_.replyContains(">")) return kCommunicationError;
        return nullptr;
    }

    // Types the PDU with its Ctrl-Z in one write and waits for "OK" or
    // "ERROR" (up to 15 rounds of 2 s).
    const char* submit(const std::string& pdu) {
        reporter_.status(kSendingLogo);
        std::vector<std::uint8_t> bytes(pdu.begin(), pdu.end());
        bytes.push_back(kCtrlZ);
        if (channel_.cancelled()) return kSendCancelledOutcome.data();
        channel_.write(bytes);
        awaitingPdu_ = false;

        const auto answer = channel_.awaitAcknowledgement([this] { reporter_.status(kWaitingForAcknowledgement); });
        if (answer == AtChannel::Acknowledgement::ReadFailed) return kErrorInConnection;
        if (answer == AtChannel::Acknowledgement::Cancelled) {
            cancelledInFlight_ = true;
            return kSendCancelledOutcome.data();
        }
        if (answer == AtChannel::Acknowledgement::TimedOut) {
            writeEscape();  // abandons the message at the phone
            return kMessageSendTimeout;
        }
        // A reply with both counts as refused.
        if (channel_.replyContains("ERROR")) return kMessageSendError;
        return nullptr;
    }

    AtChannel channel_;
    SendReporter& reporter_;
    bool awaitingPdu_ = false;
    std::size_t accepted_ = 0;
    bool cancelledInFlight_ = false;
};

}  // namespace

bool IsCancelledOutcome(std::string_view outcome) { return outcome == kSendCancelledOutcome; }

bool IsSuccessOutcome(std::string_view outcome) {
    return outcome == kLogoSentOutcome || outcome == kPictureMessageSentOutcome;
}

bool HasValidAddressing(const SendJob& job) {
    return IsDialableNumber(job.Number) && isDigits(job.CountryCode) && isDigits(job.OperatorCode);
}

void RunSendJob(const SendJob& job, const std::string& portName, SerialPortOpener& opener, Sleeper& sleeper,
                SendReporter& reporter) {
    RunSendJob(job, portName, opener, sleeper, reporter, DialogueOptions{});
}

void RunSendJob(const SendJob& job, const std::string& portName, SerialPortOpener& opener, Sleeper& sleeper,
                SendReporter& reporter, const DialogueOptions& options) {
    // The number and codes go into the PDU text as semi-octets; anything
    // else among them (a letter, Ctrl-Z, CR, ESC) would corrupt the message,
    // or end or break it on the line, so such a job never gets that far.
    if (!HasValidAddressing(job)) {
        reporter.end(kInvalidAddressing);
        return;
    }
    const std::vector<MessagePart> parts = BuildSendParts(job);
    if (parts.empty()) {  // not a kind of job this program sends
        reporter.end(kCommunicationError);
        return;
    }
    const char* successOutcome =
        job.Kind == SendJobKind::PictureMessage || job.Kind == SendJobKind::EmsPicture ? kPictureMessageSentOutcome.data() : kLogoSentOutcome.data();

    if (isCancelled(options.cancel)) {
        reporter.end(std::string(kSendCancelledOutcome));
        return;
    }
    reporter.status(kOpeningPort);
    PortOpenFailure failure;
    std::unique_ptr<SerialPort> port = opener.openExplaining(portName, failure);
    if (!port) {
        const std::string detail = describePortOpenFailure(failure);
        if (!detail.empty()) reporter.failureDetail(detail);
        reporter.end(kCannotOpenPort);
        return;
    }
    Dialogue dialogue(*port, sleeper, reporter, options);
    const char* outcome = dialogue.sendAll(parts, successOutcome);
    if (IsCancelledOutcome(outcome)) {
        const std::string detail = cancelledDetail(dialogue.handedOver(), parts.size());
        if (!detail.empty()) reporter.failureDetail(detail);
    } else if (outcome != successOutcome) {
        if (const auto error = dialogue.phoneError()) reporter.failureDetail(describePhoneError(*error));
    }
    reporter.end(outcome);
    port->close();
}

}  // namespace pelorin
