#include "sms/send_outcome_receiver.h"

#include "document/user_messages.h"
#include "sms/post_target.h"
#include "sms/send_events.h"

namespace pelorin {

SendOutcomeReceiver::SendOutcomeReceiver(UserMessages& messages)
    : messages_(messages), target_(std::make_shared<PostTarget>(this)) {}

SendOutcomeReceiver::~SendOutcomeReceiver() { target_->detach(); }

void SendOutcomeReceiver::progressDialogOpened() { ++openDialogs_; }

void SendOutcomeReceiver::progressDialogGone() {
    if (openDialogs_ > 0) --openDialogs_;
    showWaiting();
}

void SendOutcomeReceiver::customEvent(QEvent* event) {
    if (event->type() != WM_SEND_STATUS) return;
    const auto& text = static_cast<SendEvent*>(event)->text();
    if (!text) return;
    waiting_.push_back(*text);
    showWaiting();
}

void SendOutcomeReceiver::showWaiting() {
    if (openDialogs_ > 0) return;
    // Taken out first: showing a box runs a nested event loop, which may
    // deliver the next outcome into this same list.
    std::vector<std::string> texts;
    texts.swap(waiting_);
    for (const std::string& text : texts) messages_.showMessage(text);
}

}  // namespace pelorin
