#include "sms/pin_request.h"

#include <chrono>

#include "platform/cancel_token.h"
#include "sms/post_target.h"

namespace pelorin {

std::optional<std::string> DialogPinSource::pin() {
    auto answer = std::make_shared<std::promise<std::optional<std::string>>>();
    std::future<std::optional<std::string>> typed = answer->get_future();
    // A dialog that has gone drops the event, which answers nothing.
    dialog_->post(std::make_unique<PinRequestEvent>(std::move(answer)));
    while (typed.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        if (isCancelled(cancel_.get())) return std::nullopt;
    }
    return typed.get();
}

}  // namespace pelorin
