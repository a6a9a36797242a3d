#include "sms/send_worker.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string_view>
#include <vector>
#include <system_error>
#include <thread>

#include "platform/cancel_token.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/phone_dialogue.h"
#include "sms/post_target.h"
#include "sms/send_events.h"

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
        outcome_->post(std::make_unique<SendEvent>(WM_SEND_STATUS, std::move(outcome)));
        outcome_.reset();
    }

private:
    std::shared_ptr<PostTarget> dialog_;
    std::shared_ptr<PostTarget> outcome_;
};

struct Work {
    std::shared_ptr<const SendJob> job;
    std::string portName;
    SendLink link;
    PostingReporter reporter;
    std::shared_ptr<CancelToken> cancel;
};

void runWork(std::unique_ptr<Work> handed) {
    {
        std::unique_ptr<Work> work = std::move(handed);
        DialogueOptions options;
        options.cancel = work->cancel.get();
        RunSendJob(*work->job, work->portName, *work->link.opener, *work->link.sleeper, work->reporter, options);
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
                     std::shared_ptr<CancelToken> cancel) {
    if (!cancel) cancel = std::make_shared<CancelToken>();
    {
        const std::lock_guard lock(tokensMutex);
        runningTokens.push_back(cancel);
    }
    auto work = std::make_unique<Work>(
        Work{std::move(job), std::move(portName), std::move(link), PostingReporter(dialog, outcome), cancel});
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
