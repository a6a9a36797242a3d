#include <iostream>

#include "commands.h"
#include "interrupt.h"
#include "job_arguments.h"
#include "line_options.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "recipients.h"
#include "sms/phone_dialogue.h"
#include "sms/send_path.h"
#include "sms/sim_replies.h"
#include "smsc_send.h"

namespace pelorin::cli {

namespace {

// Shows the job's progress on this terminal, one line per report, as it
// happens; the outcome is the last line.
class TerminalReporter final : public SendReporter {
public:
    void status(std::string text) override { std::cout << text << std::endl; }
    void caption(std::string text) override { std::cout << text << std::endl; }
    void failureDetail(std::string text) override { std::cout << text << std::endl; }
    void end(std::string outcome) override { std::cout << outcome << std::endl; }
    void recipient(std::size_t index, std::size_t count) override {
        (void)count;
        reached_ = index;
    }

    // The numbers the job went to before it ended or was stopped.
    std::size_t reached() const { return reached_; }

private:
    std::size_t reached_ = 0;
};

// The job over the port with the line's options to each number in turn,
// shown as it goes: one outcome a number reached (those not reached before an
// interrupting signal are left out), or nothing when the options cannot be
// used (status says how).
std::optional<std::vector<RecipientOutcome>> sendJob(const JobArguments& parsed,
                                                     const std::vector<std::string>& numbers, int& status) {
    std::string error;
    std::optional<std::string> pin;
    if (!readPin(parsed.pinFile, pin, error)) {
        std::cerr << "pelorin-cli send: " << error << "\n";
        status = kExitBadArguments;
        return std::nullopt;
    }
    FixedPinSource pinSource(std::move(pin), "give it in PELORIN_PIN or --pin-file FILE");
    auto opener = makePosixSerialPortOpener();
    std::unique_ptr<LineLog> log;
    std::unique_ptr<SerialPortOpener> logging;
    if (!openLog(parsed.log, *opener, log, logging, error)) {
        std::cerr << "pelorin-cli send: " << error << "\n";
        status = 1;
        return std::nullopt;
    }
    RealSleeper sleeper;
    TerminalReporter reporter;
    DialogueOptions options;
    options.replyDriven = parsed.fast;
    options.cancel = &interruptToken();
    options.slowWrites = parsed.slowWrites;
    options.pin = &pinSource;
    options.smsCentre = parsed.smscNumber;
    options.noSmsCentreAdvice =
        "The phone has no SMS centre number: give one with --smsc-number (your operator's, such as +491722270333)";
    SerialSendPath path(parsed.port, logging ? *logging : *opener, sleeper, options);
    auto outcomes = path.send(parsed.job, numbers, reporter);
    outcomes.resize(reporter.reached());
    return outcomes;
}

// One number over the serial port, as it always was.
int sendOverPort(const std::vector<std::string>& args) {
    std::string error;
    auto parsed = parseJobArguments(args, true, error);
    if (!parsed) {
        std::cerr << "pelorin-cli send: " << error << "\n";
        return kExitBadArguments;
    }
    if (parsed->help) return kShowUsage;
    if (!announceJob(*parsed, "pelorin-cli send: ")) return 1;
    int status = 0;
    const auto outcomes = sendJob(*parsed, {parsed->job.Number}, status);
    if (!outcomes) return status;
    return !outcomes->empty() && outcomes->front().outcome.sent() ? 0 : 1;
}

}  // namespace

// Sends the job over the named serial port with the phone dialogue's real
// waits, or reply-driven with --fast; or through an SMS centre with --smsc.
// Exit status 0 when every message was accepted, 1 otherwise. An
// interrupting signal stops the send at its next wait (see catchInterrupts).
int runSend(const std::vector<std::string>& args) {
    std::string error;
    auto recipients = takeRecipientArguments(args, error);
    if (recipients && recipients->smsc && recipients->hasPort) error = "--port and --smsc cannot be used together";
    if (!recipients || !error.empty()) {
        std::cerr << "pelorin-cli send: " << error << "\n";
        return kExitBadArguments;
    }
    const bool several = recipients->numbers.size() > 1 || recipients->toFile;
    if (!recipients->smsc && !several) return sendOverPort(args);

    // The job's own options, with the first number standing in for all.
    std::vector<std::string> jobArgs = recipients->rest;
    for (const auto& arg : jobArgs) {
        if (isHelpOption(arg)) return kShowUsage;
    }
    if (!collectNumbers(*recipients, error)) {
        std::cerr << "pelorin-cli send: " << error << "\n";
        return kExitBadArguments;
    }
    if (recipients->numbers.empty()) {
        std::cerr << "pelorin-cli send: missing --to NUMBER\n";
        return kExitBadArguments;
    }
    jobArgs.insert(jobArgs.end(), {"--to", recipients->numbers.front()});
    auto parsed = parseJobArguments(jobArgs, !recipients->smsc, error);
    if (!parsed) {
        std::cerr << "pelorin-cli send: " << error << "\n";
        return kExitBadArguments;
    }
    if (!announceJob(*parsed, "pelorin-cli send: ")) return 1;
    if (recipients->smsc) return sendThroughSmsc(*recipients, *parsed);

    // Over the serial port, one number after another, each job as above.
    int status = 0;
    const auto outcomes = sendJob(*parsed, recipients->numbers, status);
    if (!outcomes) return status;
    std::size_t sent = 0;
    for (const RecipientOutcome& recipient : *outcomes) {
        std::cout << recipient.number << "\t"
                  << (recipient.outcome.sent() ? "sent" : "failed\t" + recipient.outcome.outcome) << "\n";
        if (recipient.outcome.sent()) ++sent;
    }
    const std::size_t failed = recipients->numbers.size() - sent;
    std::cout << sent << " sent, " << failed << " failed, 0 unknown" << std::endl;
    return failed == 0 ? 0 : 1;
}

}  // namespace pelorin::cli
