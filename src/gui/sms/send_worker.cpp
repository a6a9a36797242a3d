#include "sms/send_worker.h"

#include <string_view>
#include <vector>

#include "platform/cancel_token.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/line_log.h"
#include "sms/phone_dialogue.h"
#include "sms/phone_tasks.h"
#include "sms/post_target.h"
#include "sms/send_events.h"
#include "sms/send_path.h"
#include "sms/sim_replies.h"
#include "smsc/smsc_send_path.h"

namespace pelorin {

namespace {

// The outcome when the system refuses to start the worker.
constexpr std::string_view kNoWorkerOutcome = "Communication error";

// Turns the path's reports into posted events, each owning its text.
class PostingReporter final : public SendReporter {
public:
    PostingReporter(std::shared_ptr<PostTarget> dialog, std::shared_ptr<PostTarget> outcome)
        : dialog_(std::move(dialog)), outcome_(std::move(outcome)) {}

    void status(std::string text) override {
        dialog_->post(std::make_unique<SendEvent>(WM_SEND_STATUS, std::move(text)));
    }
    void caption(std::string text) override {
        dialog_->post(std::make_unique<SendEvent>(WM_SEND_CAPTION, std::move(text)));
    }
    // Said only while there are several.
    void recipient(std::size_t index, std::size_t count) override {
        if (count < 2) return;
        dialog_->post(std::make_unique<SendEvent>(WM_SEND_RECIPIENT, sendingToText(index, count)));
    }
    // A number's end: the whole job's is finish(), once every number is done.
    void end(std::string outcome) override { (void)outcome; }

    // The end first, so the progress dialog closes before the outcome is
    // shown; both land in the same queue in this order.
    void finish(std::string text, bool loginRefused = false) {
        dialog_->post(loginRefused ? std::make_unique<SendEvent>(WM_SEND_END, std::string(kLoginRefusedEnd))
                                   : std::make_unique<SendEvent>(WM_SEND_END));
        dialog_.reset();
        outcome_->post(std::make_unique<SendEvent>(WM_SEND_STATUS, std::move(text)));
        outcome_.reset();
    }
    void setLogPath(std::string path) { logPath_ = std::move(path); }

    // The outcome box's text: for one number the outcome with its detail on
    // a second line, for several the count and the failures.
    std::string describe(SendJobKind kind, std::vector<RecipientOutcome> outcomes) const {
        bool anyFailed = false;
        for (RecipientOutcome& recipient : outcomes) {
            SendOutcome& outcome = recipient.outcome;
            anyFailed = anyFailed || (!outcome.sent() && !outcome.cancelled());
            if (outcome.cancelled()) outcome.outcome = std::string(kSendingStoppedOutcome);
        }
        std::string text;
        if (outcomes.size() == 1) {
            text = outcomes.front().outcome.outcome;
            if (!outcomes.front().outcome.detail.empty()) text += "\n" + outcomes.front().outcome.detail;
        } else {
            text = DescribeSeveralOutcomes(kind, outcomes);
        }
        if (anyFailed && !logPath_.empty()) text += "\nThe log of the phone dialogue is " + logPath_;
        return text;
    }

private:
    std::string logPath_;
    std::shared_ptr<PostTarget> dialog_;
    std::shared_ptr<PostTarget> outcome_;
};

struct Work {
    std::shared_ptr<const SendJob> job;
    std::string portName;
    SendLink link;
    PostingReporter reporter;
    std::shared_ptr<CancelToken> cancel;
    bool replyDriven;
    SendLineOptions line;
    bool loginRefused = false;  // the centre would not take the login
};

// Through the SMS centre of the route, or the phone on the port.
std::vector<RecipientOutcome> sendThroughPath(Work& work, const std::vector<std::string>& numbers) {
    if (!work.line.route.centre.empty()) {
        std::string error;
        auto route = smsc::parseSmscRoute(work.line.route.centre, error);
        if (!route) {
            std::vector<RecipientOutcome> outcomes;
            for (const std::string& number : numbers)
                outcomes.push_back({number, {std::string(smsc::kCentreUnreachableOutcome), error, 0}});
            return outcomes;
        }
        smsc::SmppOptions options;
        options.cancel = work.cancel.get();
        smsc::SmscSendPath path(std::move(*route), work.line.route.password, options);
        auto outcomes = path.send(*work.job, numbers, work.reporter);
        work.loginRefused = path.loginRefused();
        return outcomes;
    }
    DialogueOptions options;
    options.cancel = work.cancel.get();
    options.replyDriven = work.replyDriven;
    options.slowWrites = work.line.slowWrites;
    options.smsCentre = work.line.smsCentre;
    options.pin = work.line.pin.get();
    SerialPortOpener* opener = work.link.opener.get();
    std::unique_ptr<LineLog> log;
    std::unique_ptr<LoggingSerialPortOpener> logging;
    if (!work.line.logFolder.empty()) {
        std::string why;
        log = createRotatingLineLog(work.line.logFolder, kKeptLineLogs, why);
        if (log) {
            logging = std::make_unique<LoggingSerialPortOpener>(*opener, *log);
            opener = logging.get();
            work.reporter.setLogPath(log->path().string());
        }
    }
    SerialSendPath path(work.portName, *opener, *work.link.sleeper, options);
    return path.send(*work.job, numbers, work.reporter);
}

void runWork(Work& work) {
    std::vector<std::string> numbers = work.line.numbers;
    if (numbers.empty()) numbers.push_back(work.job->Number);
    auto outcomes = sendThroughPath(work, numbers);
    work.reporter.finish(work.reporter.describe(work.job->Kind, std::move(outcomes)), work.loginRefused);
}

}  // namespace

SendLink makeSerialSendLink(std::string portOverride) {
    return SendLink{std::shared_ptr<SerialPortOpener>(makePosixSerialPortOpener()), std::make_shared<RealSleeper>(),
                    std::move(portOverride)};
}

std::string sendingToText(std::size_t index, std::size_t count) {
    return "Sending to " + std::to_string(index) + " of " + std::to_string(count);
}

std::string sendPortName(const SendLink& link, const std::string& documentPort) {
    return link.portOverride.empty() ? documentPort : link.portOverride;
}

void startSendWorker(std::shared_ptr<const SendJob> job, std::string portName, SendLink link,
                     std::shared_ptr<PostTarget> dialog, std::shared_ptr<PostTarget> outcome,
                     std::shared_ptr<CancelToken> cancel, bool replyDriven, SendLineOptions line) {
    if (!cancel) cancel = std::make_shared<CancelToken>();
    auto work = std::make_shared<Work>(Work{std::move(job), std::move(portName), std::move(link),
                                            PostingReporter(dialog, outcome), cancel, replyDriven, std::move(line)});
    // The work goes with the task, before the task counts as done: the port
    // is closed and every share given back by then.
    const bool started = startPhoneTask(
        [work](const CancelToken&) mutable {
            const std::shared_ptr<Work> mine = std::move(work);
            runWork(*mine);
        },
        cancel);
    // No thread to be had: end the job at once, so the progress dialog does
    // not wait for ever.
    if (!started) PostingReporter(std::move(dialog), std::move(outcome)).finish(std::string(kNoWorkerOutcome));
}

int runningSendWorkers() { return runningPhoneTasks(); }

void cancelSendWorkers() { cancelPhoneTasks(); }

}  // namespace pelorin
