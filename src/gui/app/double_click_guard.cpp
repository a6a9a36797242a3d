#include "app/double_click_guard.h"

#include <QEvent>
#include <QWidget>

namespace pelorin {

bool DoubleClickGuard::eventFilter(QObject* watched, QEvent* event) {
    // Only what the window system sends; the program's own events pass.
    if (!event->spontaneous() || !watched->isWidgetType()) return false;
    QWidget* window = static_cast<QWidget*>(watched)->window();
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            pressWindow_ = window;
            pressSeen_ = true;
            droppingRelease_ = false;
            return false;
        case QEvent::MouseButtonDblClick:
            // A window that has gone since the first press counts as another.
            if (pressWindow_ == window) return false;
            droppingRelease_ = true;
            return true;
        case QEvent::MouseButtonRelease: {
            if (droppingRelease_) {
                droppingRelease_ = false;
                return true;
            }
            // A release may end over another window while the pressed one
            // stays (a menu opened from the menu bar); only one that lost its
            // window is dropped.
            const bool pressWindowGone = pressWindow_.isNull() || !pressWindow_->isVisible();
            return pressSeen_ && pressWindow_ != window && pressWindowGone;
        }
        default:
            return false;
    }
}

}  // namespace pelorin
