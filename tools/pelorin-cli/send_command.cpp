#include <iostream>

#include "commands.h"
#include "interrupt.h"
#include "job_arguments.h"
#include "line_options.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "ringtone_commands.h"
#include "sms/phone_dialogue.h"
#include "sms/sim_replies.h"

namespace pelorin::cli {

namespace {

// Shows the job's progress on this terminal, one line per report, as it
// happens; the outcome is the last line.
class TerminalReporter final : public SendReporter {
public:
    void status(std::string text) override { std::cout << text << std::endl; }
    void caption(std::string text) override { std::cout << text << std::endl; }
    void failureDetail(std::string text) override { std::cout << text << std::endl; }
    void end(std::string outcome) override {
        std::cout << outcome << std::endl;
        outcome_ = std::move(outcome);
    }

    const std::string& outcome() const { return outcome_; }

private:
    std::string outcome_;
};

}  // namespace

// Sends the job over the named serial port with the phone dialogue's real
// waits, or reply-driven with --fast. Exit status 0 when every message was
// accepted, 1 otherwise. An interrupting signal stops the send at its next
// wait (see catchInterrupts).
int runSend(const std::vector<std::string>& args) {
    if (isRingtoneJob(args)) return runRingtoneJob(args, true);
    std::string error;
    auto parsed = parseJobArguments(args, true, error);
    if (!parsed) {
        std::cerr << "pelorin-cli send: " << error << "\n";
        return kExitBadArguments;
    }
    if (parsed->help) return kShowUsage;
    std::optional<std::string> pin;
    if (!readPin(parsed->pinFile, pin, error)) {
        std::cerr << "pelorin-cli send: " << error << "\n";
        return kExitBadArguments;
    }
    FixedPinSource pinSource(std::move(pin), "give it in PELORIN_PIN or --pin-file FILE");
    auto opener = makePosixSerialPortOpener();
    std::unique_ptr<LineLog> log;
    std::unique_ptr<SerialPortOpener> logging;
    if (!openLog(parsed->log, *opener, log, logging, error)) {
        std::cerr << "pelorin-cli send: " << error << "\n";
        return 1;
    }
    RealSleeper sleeper;
    TerminalReporter reporter;
    DialogueOptions options;
    options.replyDriven = parsed->fast;
    options.cancel = &interruptToken();
    options.slowWrites = parsed->slowWrites;
    options.pin = &pinSource;
    options.smsCentre = parsed->smscNumber;
    options.noSmsCentreAdvice =
        "The phone has no SMS centre number: give one with --smsc-number (your operator's, such as +491722270333)";
    RunSendJob(parsed->job, parsed->port, logging ? *logging : *opener, sleeper, reporter, options);
    return IsSuccessOutcome(reporter.outcome()) ? 0 : 1;
}

}  // namespace pelorin::cli
