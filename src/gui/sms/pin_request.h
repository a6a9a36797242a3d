#pragma once

// The send worker asking the user-interface thread for the SIM's PIN: the
// worker posts a PinRequestEvent to the progress dialog and waits for the
// answer, giving up when the job is stopped.

#include <QEvent>
#include <future>
#include <memory>
#include <optional>
#include <string>

#include "sms/send_events.h"
#include "sms/sim_replies.h"

namespace pelorin {

class CancelToken;
class PostTarget;

inline constexpr unsigned kSendPinMessage = 0x80000004u;
inline constexpr QEvent::Type WM_SEND_PIN = sendEventType(kSendPinMessage);

// Carries the promise the dialog keeps with the PIN typed, or with nothing.
class PinRequestEvent final : public QEvent {
public:
    explicit PinRequestEvent(std::shared_ptr<std::promise<std::optional<std::string>>> answer)
        : QEvent(WM_SEND_PIN), answer_(std::move(answer)) {}
    void answer(std::optional<std::string> pin) {
        if (answer_) answer_->set_value(std::move(pin));
        answer_.reset();
    }
    ~PinRequestEvent() override {
        if (answer_) answer_->set_value(std::nullopt);  // dropped unanswered
    }

private:
    std::shared_ptr<std::promise<std::optional<std::string>>> answer_;
};

// A PinSource for the worker thread that asks through the dialog.
class DialogPinSource final : public PinSource {
public:
    DialogPinSource(std::shared_ptr<PostTarget> dialog, std::shared_ptr<CancelToken> cancel)
        : dialog_(std::move(dialog)), cancel_(std::move(cancel)) {}
    std::optional<std::string> pin() override;
    void refused() override {}
    std::string howToGive() const override { return "no PIN was given"; }

private:
    std::shared_ptr<PostTarget> dialog_;
    std::shared_ptr<CancelToken> cancel_;
};

}  // namespace pelorin
