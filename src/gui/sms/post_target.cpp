#include "sms/post_target.h"

#include <QCoreApplication>

namespace pelorin {

void PostTarget::post(std::unique_ptr<QEvent> event) {
    const std::lock_guard lock(mutex_);
    if (object_ == nullptr) return;
    QCoreApplication::postEvent(object_, event.release());
}

void PostTarget::detach() {
    const std::lock_guard lock(mutex_);
    object_ = nullptr;
}

}  // namespace pelorin
