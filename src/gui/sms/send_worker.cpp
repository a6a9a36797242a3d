#include "sms/send_worker.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/cancel_token.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/line_log.h"
#include "sms/phone_dialogue.h"
#include "sms/post_target.h"
#include "sms/send_events.h"
#include "sms/sim_replies.h"

namespace pelorin {

namespace {

std::atomic<int> running{0};

// The tokens of the workers that are running.
std::mutex tokensMutex;
std::vector<std::shared_ptr<CancelToken>> runningTokens;

void forgetToken(const std::shared_ptr<CancelToken>& token) {
    const std::lock_guard lock(tokensMutex);
    runningTokens.erase(std::remove(runningTokens.begin(), runningTokens.end(), token), runningTokens.end());
}

// The outcome when the system refuses to start the worker.
constexpr std::string_view kNoWorkerOutcome = "Communication error";

// Turns the dialogue's reports into posted events, each owning its text.
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
    // The end first, so the progress dialog closes before the outcome is
    // shown; both land in the same queue in this order.
    void end(std::string outcome) override {
        dialog_->post(std::make_unique<SendEvent>(WM_SEND_END));
        dialog_.reset();
        const bool failed = !IsSuccessOutcome(outcome) && !IsCancelledOutcome(outcome);
        if (IsCancelledOutcome(outcome)) outcome = std::string(kSendingStoppedOutcome);
        if (!detail_.empty()) outcome += "\n" + detail_;
        if (failed && !logPath_.empty()) outcome += "\nThe log of the phone dialogue is " + logPath_;
        outcome_->post(std::make_unique<SendEvent>(WM_SEND_STATUS, std::move(outcome)));
        outcome_.reset();
    }
    // Shown under the outcome.
    void failureDetail(std::string text) override { detail_ = std::move(text); }
    void setLogPath(std::string path) { logPath_ = std::move(path); }

private:
    std::string detail_;
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
};

void runWork(std::unique_ptr<Work> handed) {
    {
        std::unique_ptr<Work> work = std::move(handed);
        DialogueOptions options;
        options.cancel = work->cancel.get();
        options.replyDriven = work->replyDriven;
        options.slowWrites = work->line.slowWrites;
        options.smsCentre = work->line.smsCentre;
        options.pin = work->line.pin.get();
        SerialPortOpener* opener = work->link.opener.get();
        std::unique_ptr<LineLog> log;
        std::unique_ptr<LoggingSerialPortOpener> logging;
        if (!work->line.logFolder.empty()) {
            std::string why;
            log = createRotatingLineLog(work->line.logFolder, kKeptLineLogs, why);
            if (log) {
                logging = std::make_unique<LoggingSerialPortOpener>(*opener, *log);
                opener = logging.get();
                work->reporter.setLogPath(log->path().string());
            }
        }
        RunSendJob(*work->job, work->portName, *opener, *work->link.sleeper, work->reporter, options);
        forgetToken(work->cancel);
    }
    running.fetch_sub(1);
}

}  // namespace

SendLink makeSerialSendLink(std::string portOverride) {
    return SendLink{std::shared_ptr<SerialPortOpener>(makePosixSerialPortOpener()), std::make_shared<RealSleeper>(),
                    std::move(portOverride)};
}

std::string sendPortName(const SendLink& link, const std::string& documentPort) {
    return link.portOverride.empty() ? documentPort : link.portOverride;
}

void startSendWorker(std::shared_ptr<const SendJob> job, std::string portName, SendLink link,
                     std::shared_ptr<PostTarget> dialog, std::shared_ptr<PostTarget> outcome,
                     std::shared_ptr<CancelToken> cancel, bool replyDriven, SendLineOptions line) {
    if (!cancel) cancel = std::make_shared<CancelToken>();
    {
        const std::lock_guard lock(tokensMutex);
        runningTokens.push_back(cancel);
    }
    auto work = std::make_unique<Work>(Work{std::move(job), std::move(portName), std::move(link),
                                            PostingReporter(dialog, outcome), cancel, replyDriven, std::move(line)});
    running.fetch_add(1);
    try {
        std::thread(runWork, std::move(work)).detach();
    } catch (const std::system_error&) {
        // No thread to be had: end the job at once, so the progress dialog
        // does not wait for ever.
        forgetToken(cancel);
        running.fetch_sub(1);
        PostingReporter(std::move(dialog), std::move(outcome)).end(std::string(kNoWorkerOutcome));
    }
}

int runningSendWorkers() { return running.load(); }

void cancelSendWorkers() {
    const std::lock_guard lock(tokensMutex);
    for (const auto& token : runningTokens) token->cancel();
}

}  // namespace pelorin
