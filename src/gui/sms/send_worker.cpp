#include "sms/send_worker.h"

#include <atomic>
#include <string_view>
#include <system_error>
#include <thread>

#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/phone_dialogue.h"
#include "sms/post_target.h"
#include "sms/send_events.h"
#include "sms/stop_token.h"

namespace pelorin {

namespace {

std::atomic<int> running{0};

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
        if (!detail_.empty()) outcome += "\n" + detail_;
        outcome_->post(std::make_unique<SendEvent>(WM_SEND_STATUS, std::move(outcome)));
        outcome_.reset();
    }
    // Shown under the outcome.
    void failureDetail(std::string text) override { detail_ = std::move(text); }

private:
    std::string detail_;
    std::shared_ptr<PostTarget> dialog_;
    std::shared_ptr<PostTarget> outcome_;
};

struct Work {
    std::shared_ptr<const SendJob> job;
    std::string portName;
    SendLink link;
    SendWorkerOptions options;
    PostingReporter reporter;
};

void runWork(std::unique_ptr<Work> handed) {
    {
        std::unique_ptr<Work> work = std::move(handed);
        DialogueOptions options;
        options.replyDriven = work->options.replyDriven;
        options.stop = work->options.stop.get();
        RunSendJob(*work->job, work->portName, *work->link.opener, *work->link.sleeper, work->reporter, options);
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
                     SendWorkerOptions options, std::shared_ptr<PostTarget> dialog,
                     std::shared_ptr<PostTarget> outcome) {
    auto work = std::make_unique<Work>(Work{std::move(job), std::move(portName), std::move(link), std::move(options),
                                            PostingReporter(dialog, outcome)});
    running.fetch_add(1);
    try {
        std::thread(runWork, std::move(work)).detach();
    } catch (const std::system_error&) {
        // No thread to be had: end the job at once, so the progress dialog
        // does not wait for ever.
        running.fetch_sub(1);
        PostingReporter(std::move(dialog), std::move(outcome)).end(std::string(kNoWorkerOutcome));
    }
}

int runningSendWorkers() { return running.load(); }

}  // namespace pelorin
