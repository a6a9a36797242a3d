#include "sms/phone_dialogue.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "sms/at_reply.h"
#include "sms/line_log.h"
#include "sms/phone_errors.h"
#include "sms/sim_replies.h"

namespace pelorin {

namespace {

// Status lines.
constexpr const char* kOpeningPort = "Opening COM port";
constexpr const char* kSettingUpConnection = "Setting up connection";
constexpr const char* kSettingUpPhone = "Setting up phone";
constexpr const char* kSendingLogo = "Sending logo";
constexpr const char* kWaitingForAcknowledgement = "Waiting for acknowledgement";
constexpr const char* kEnteringPin = "Entering the SIM's PIN";
constexpr const char* kWaitingForSim = "Waiting for the SIM";
constexpr const char* kSettingSmsCentre = "Setting the SMS centre number";

// Failure outcomes.
constexpr const char* kCannotOpenPort = "Cannot open COM port";
constexpr const char* kErrorInConnection = "Error in connection";
constexpr const char* kCommunicationError = "Communication error";
constexpr const char* kMessageSendError = "Message send error";
constexpr const char* kMessageSendTimeout = "Message send timeout";
constexpr const char* kInvalidAddressing = "Number or network code contains invalid characters";
constexpr const char* kPinNeeded = "The SIM wants its PIN";
constexpr const char* kWrongPin = "Wrong SIM PIN";
constexpr const char* kSimLocked = "SIM locked";
constexpr const char* kSimNotReady = "SIM not ready";

// A SIM that is busy gets the same command again a second later, for up to
// ten seconds; a SIM that took its PIN is asked every second, for up to ten
// seconds, whether it is ready.
constexpr int kSimWaitMs = 1000;
constexpr int kSimWaits = 10;

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
        : channel_(port, sleeper, options), reporter_(reporter), options_(options) {}

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
    std::optional<PhoneErrorReply> phoneError() const {
        if (savedError_) return savedError_;
        return findPhoneError(channel_.reply());
    }
    // What the dialogue found out about a failure, when it is more than the
    // phone's error.
    const std::string& detail() const { return detail_; }

    // Messages the phone accepted, and the one it had been given but not yet
    // answered for when the job was cancelled.
    std::size_t handedOver() const { return accepted_ + (cancelledInFlight_ ? 1 : 0); }
    // Messages the phone accepted.
    std::size_t accepted() const { return accepted_; }

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
            if (const char* failure = sendPart(part)) return failure;
            ++accepted_;
        }
        return successOutcome;
    }

    // One message: announced, typed and acknowledged; announced and typed
    // once more after the SIM got its PIN or the phone its SMS centre
    // number, or a busy SIM had a second more.
    const char* sendPart(const MessagePart& part) {
        for (int busyWaits = 0;; ++busyWaits) {
            if (const char* failure = announceMessage(part.length)) return failure;
            bool again = false;
            if (const char* failure = submit(part.pdu, busyWaits < kSimWaits, again)) return failure;
            if (!again) return nullptr;
        }
    }

    void writeEscape() {
        const std::uint8_t escape = kEscape;
        channel_.write(std::span<const std::uint8_t>(&escape, 1));
    }

    SimCondition simCondition() const { return pelorin::simCondition(findPhoneError(channel_.reply())); }

    // Writes a command and collects its reply; a busy SIM gets it again a
    // second later, up to kSimWaits times. false as AtChannel::exchange.
    bool command(std::string_view text, bool promptExpected) {
        for (int waits = 0;; ++waits) {
            if (!channel_.exchange(text, promptExpected)) return false;
            if (simCondition() != SimCondition::Busy || waits == kSimWaits) return true;
            if (!channel_.pause(kSimWaitMs)) return false;
        }
    }

    const char* switchToPduMode() {
        for (;;) {
            if (!command(kPduModeCommand, false)) return kErrorInConnection;
            const SimCondition condition = simCondition();
            if (condition == SimCondition::PinRequired) {
                if (const char* failure = unlock()) return failure;
                continue;
            }
            if (condition == SimCondition::PukRequired) return simLocked();
            // A phone that does not echo commands is not one this dialogue can drive.
            if (!channel_.replyContains("OK") || !channel_.replyContains(kPduModeEcho)) return kCommunicationError;
            return nullptr;
        }
    }

    const char* announceMessage(int length) {
        for (;;) {
            if (channel_.cancelled()) return kSendCancelledOutcome.data();
            // From here until the PDU's Ctrl-Z the phone waits for message text.
            awaitingPdu_ = true;
            const std::string announce = "AT+CMGS=" + std::to_string(length);
            if (!command(announce + "\r\n", true)) return kErrorInConnection;
            if (hasPduPrompt(channel_.reply(), announce)) return nullptr;
            const SimCondition condition = simCondition();
            if (condition == SimCondition::PinRequired) {
                awaitingPdu_ = false;
                if (const char* failure = unlock()) return failure;
                if (const char* failure = switchToPduMode()) return failure;
                continue;
            }
            if (condition == SimCondition::PukRequired) return simLocked();
            if (condition == SimCondition::NoCentre || condition == SimCondition::Unknown) {
                awaitingPdu_ = false;
                if (const char* failure = giveCentre(kCommunicationError)) return failure;
                continue;
            }
            return kCommunicationError;
        }
    }

    // Types the PDU with its Ctrl-Z in one write and waits for "OK" or
    // "ERROR" (up to 15 rounds of 2 s). again: the message is to be sent
    // once more (the phone has been given what it asked for).
    const char* submit(const std::string& pdu, bool mayWaitForSim, bool& again) {
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
        if (!channel_.replyContains("ERROR")) return nullptr;
        switch (simCondition()) {
            case SimCondition::NoCentre:
                if (const char* failure = giveCentre(kMessageSendError)) return failure;
                again = true;
                return nullptr;
            case SimCondition::PinRequired:
                if (const char* failure = unlock()) return failure;
                if (const char* failure = switchToPduMode()) return failure;
                again = true;
                return nullptr;
            case SimCondition::PukRequired:
                return simLocked();
            case SimCondition::Busy:
                if (!mayWaitForSim) break;
                if (!channel_.pause(kSimWaitMs)) return kSendCancelledOutcome.data();
                again = true;
                return nullptr;
            default:
                break;
        }
        return kMessageSendError;
    }

    // Gives the SIM its PIN (once a job) and waits until it is ready; nullptr
    // when it is.
    const char* unlock() {
        if (pinGiven_) return kSimNotReady;
        pinGiven_ = true;
        std::optional<std::string> pin;
        if (options_.pin != nullptr) pin = options_.pin->pin();
        if (!pin || !IsValidPin(*pin)) {
            if (pin) wipeSecret(*pin);
            detail_ = std::string("The SIM wants its PIN; ") +
                      (options_.pin != nullptr ? options_.pin->howToGive() : "none was given");
            return kPinNeeded;
        }
        reporter_.status(kEnteringPin);
        std::string text = "AT+CPIN=\"" + *pin + "\"\r\n";
        wipeSecret(*pin);
        const bool answered = command(text, false);
        wipeSecret(text);
        if (!answered) return kErrorInConnection;
        switch (simCondition()) {
            case SimCondition::WrongPin:
                options_.pin->refused();
                detail_ =
                    "The SIM refused the PIN (+CME ERROR: 16, incorrect password); it is not tried again, since "
                    "three wrong PINs lock the SIM";
                return kWrongPin;
            case SimCondition::PukRequired:
                return simLocked();
            default:
                break;
        }
        if (findPhoneError(channel_.reply()) || !channel_.replyContains("OK")) return kCommunicationError;
        reporter_.status(kWaitingForSim);
        for (int waits = 0;; ++waits) {
            if (!channel_.exchange("AT+CPIN?\r\n", false)) return kErrorInConnection;
            const auto state = findPinState(channel_.reply());
            if (state == "READY") return nullptr;
            if (state && state->find("PUK") != std::string::npos) return simLocked();
            if (waits == kSimWaits) break;
            if (!channel_.pause(kSimWaitMs)) return kSendCancelledOutcome.data();
        }
        detail_ = "The SIM took its PIN but was not ready 10 s later";
        return kSimNotReady;
    }

    const char* simLocked() {
        detail_ = "The SIM is locked and asks for its PUK: unlock it in a phone first";
        return kSimLocked;
    }

    // Asks the phone for its SMS centre number after a refusal that may mean
    // it has none, and sets the one known (once a job); nullptr when the
    // message may be sent again.
    // failure: the outcome when it cannot be.
    const char* giveCentre(const char* failure) {
        const auto refusal = findPhoneError(channel_.reply());
        savedError_ = refusal;
        if (centreGiven_) return failure;
        centreGiven_ = true;
        if (!channel_.exchange("AT+CSCA?\r\n", false)) return kErrorInConnection;
        const auto current = findCentreNumber(channel_.reply());
        // A phone that has a number (or does not say) refused for another reason.
        if (!current || !current->empty()) return failure;
        if (options_.smsCentre.empty() || !IsValidSmsCentre(options_.smsCentre)) {
            detail_ = options_.noSmsCentreAdvice;
            return failure;
        }
        reporter_.status(kSettingSmsCentre);
        const bool international = options_.smsCentre[0] == '+';
        if (!command("AT+CSCA=\"" + options_.smsCentre + "\"," + (international ? "145" : "129") + "\r\n", false))
            return kErrorInConnection;
        if (!channel_.replyContains("OK") || findPhoneError(channel_.reply())) {
            savedError_ = findPhoneError(channel_.reply());
            return failure;
        }
        savedError_.reset();
        return nullptr;
    }

    AtChannel channel_;
    SendReporter& reporter_;
    const DialogueOptions& options_;
    bool awaitingPdu_ = false;
    bool pinGiven_ = false;
    bool centreGiven_ = false;
    std::string detail_;                         // says more than the phone's error, when set
    std::optional<PhoneErrorReply> savedError_;  // the refusal a later question's reply would hide
    std::size_t accepted_ = 0;
    bool cancelledInFlight_ = false;
};

}  // namespace

bool IsCancelledOutcome(std::string_view outcome) { return outcome == kSendCancelledOutcome; }

bool IsSuccessOutcome(std::string_view outcome) {
    return outcome == kLogoSentOutcome || outcome == kPictureMessageSentOutcome || outcome == kRingtoneSentOutcome;
}

std::string_view SuccessOutcomeFor(SendJobKind kind) {
    if (kind == SendJobKind::Ringtone) return kRingtoneSentOutcome;
    if (kind == SendJobKind::PictureMessage || kind == SendJobKind::EmsPicture) return kPictureMessageSentOutcome;
    return kLogoSentOutcome;
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
    const char* successOutcome = SuccessOutcomeFor(job.Kind).data();

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
    // A detail may quote the phone, and a phone may quote the PIN it was
    // given: the detail shows it masked, as the line's log does.
    const auto reportDetail = [&reporter](const std::string& detail) {
        if (!detail.empty()) reporter.failureDetail(PinMask().apply(detail));
    };
    if (IsCancelledOutcome(outcome)) {
        reportDetail(cancelledDetail(dialogue.handedOver(), parts.size()));
    } else if (outcome != successOutcome) {
        if (!dialogue.detail().empty()) {
            reportDetail(dialogue.detail());
        } else if (const auto error = dialogue.phoneError()) {
            reportDetail(describePhoneError(*error));
        }
    }
    reporter.partsTaken(dialogue.accepted());
    reporter.end(outcome);
    port->close();
}

}  // namespace pelorin
