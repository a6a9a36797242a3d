#pragma once

// One job to one or several numbers, whichever way it goes out: through a
// phone on a serial port (SerialSendPath, here) or through an SMS centre
// (smsc/smsc_send_path.h). The editor's send worker and pelorin-cli send
// through this interface alike, and turn the outcomes into their own texts.

#include <cstddef>
#include <string>
#include <vector>

#include "sms/at_channel.h"
#include "sms/encoding.h"
#include "sms/phone_dialogue.h"

namespace pelorin {

class CancelToken;
class SerialPortOpener;
class Sleeper;

// What became of a job at one number.
struct SendOutcome {
    std::string outcome;         // the dialogue's outcome text (kLogoSentOutcome, kCannotOpenPort, ...)
    std::string detail;          // what more there is to say of a failure, or empty
    std::size_t partsTaken = 0;  // messages the far end accepted
    bool sent() const { return IsSuccessOutcome(outcome); }
    bool cancelled() const { return IsCancelledOutcome(outcome); }
};

struct RecipientOutcome {
    std::string number;
    SendOutcome outcome;
};

class SendPath {
public:
    virtual ~SendPath() = default;
    // Sends the job (its own Number left aside) to each of numbers, telling
    // reporter recipient(i, n) before a number and then its reports as a
    // phone dialogue gives them, up to its end(outcome); the whole job's end
    // is the caller's to say. One outcome a number, in order; once
    // cancelled, the numbers not yet sent to get kSendCancelledOutcome.
    virtual std::vector<RecipientOutcome> send(const SendJob& job, const std::vector<std::string>& numbers,
                                               SendReporter& reporter) = 0;
};

// A phone on a serial port: the numbers one after another, each job a whole
// phone dialogue (RunSendJob) with the same bytes on the line as a job to
// one number.
class SerialSendPath final : public SendPath {
public:
    SerialSendPath(std::string portName, SerialPortOpener& opener, Sleeper& sleeper, DialogueOptions options)
        : portName_(std::move(portName)), opener_(opener), sleeper_(sleeper), options_(std::move(options)) {}

    std::vector<RecipientOutcome> send(const SendJob& job, const std::vector<std::string>& numbers,
                                       SendReporter& reporter) override;

private:
    std::string portName_;
    SerialPortOpener& opener_;
    Sleeper& sleeper_;
    DialogueOptions options_;
};

// "Logo was sent to 9 of 10 numbers" (the kind's own word, as in its
// success outcome), then one line a number that was not sent: the number,
// its outcome and, in brackets, its detail when there is one.
std::string DescribeSeveralOutcomes(SendJobKind kind, const std::vector<RecipientOutcome>& outcomes);

}  // namespace pelorin
