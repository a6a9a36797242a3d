#pragma once

#include <string>
#include <string_view>

#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/at_channel.h"
#include "sms/encoding.h"

namespace pelorin {

// Where a send job reports its progress. Each call hands its text over for
// good. end() comes exactly once per job and is the last call of the job.
class SendReporter {
public:
    virtual ~SendReporter() = default;
    virtual void status(std::string text) = 0;
    virtual void caption(std::string text) = 0;
    virtual void end(std::string outcome) = 0;
    // One line that says more about a failure than its outcome text (the
    // phone's error code and its meaning, or why the port did not open).
    // When there is one it comes just before end(); the default drops it.
    virtual void failureDetail(std::string text) { (void)text; }
    // How many of the job's messages the far end accepted; comes just before
    // end(). The default drops it.
    virtual void partsTaken(std::size_t count) { (void)count; }
    // A job to several numbers is about to send to the index-th (from 1) of
    // count; the default drops it.
    virtual void recipient(std::size_t index, std::size_t count) { (void)index, (void)count; }
};

// The outcomes that mean every message of the job was accepted.
inline constexpr std::string_view kLogoSentOutcome = "Logo was successfully sent";
inline constexpr std::string_view kPictureMessageSentOutcome = "Picture message was successfully sent";
inline constexpr std::string_view kRingtoneSentOutcome = "Ringtone was successfully sent";

bool IsSuccessOutcome(std::string_view outcome);

// The success outcome of a job of this kind (a picture message, an EMS
// picture, a ringtone, or a logo).
std::string_view SuccessOutcomeFor(SendJobKind kind);

// The outcome of a job stopped through DialogueOptions::cancel before every
// message was accepted. The port is given back as after any other end; when
// the phone was waiting for a PDU's text it has been sent ESC, which
// abandons that message.
inline constexpr std::string_view kSendCancelledOutcome = "Send cancelled";
bool IsCancelledOutcome(std::string_view outcome);

// True when the number is dialable (IsDialableNumber) and both network codes
// hold only digits, so that nothing but address digits reaches the line
// through them. A job without it ends before the port is opened.
bool HasValidAddressing(const SendJob& job);

// Runs one send job over the serial port named portName (the document's COM
// port setting): opens it, switches the phone to PDU mode, submits the job's
// messages one by one and waits for each acknowledgement, reporting every step
// to reporter and ending with one outcome text. The port is closed after the
// end has been reported. Blocks for the whole send (up to 30 s of waiting per
// message).
void RunSendJob(const SendJob& job, const std::string& portName, SerialPortOpener& opener, Sleeper& sleeper,
                SendReporter& reporter);

// The same job, with options: options.replyDriven goes on at each step as
// soon as the phone's reply is complete, with the same bytes on the line, the
// same reports and outcomes and the same upper bounds as the fixed waits.
// options.cancel stops the job at its next wait (see kSendCancelledOutcome);
// a failure detail then says whether the phone already had some of the job's
// messages, which it may still deliver.
void RunSendJob(const SendJob& job, const std::string& portName, SerialPortOpener& opener, Sleeper& sleeper,
                SendReporter& reporter, const DialogueOptions& options);

}  // namespace pelorin
