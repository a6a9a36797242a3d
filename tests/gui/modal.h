#pragma once

// Acts on a modal dialog from inside the event loop that runs it, as a user
// would while the command that opened it waits.

#include <QApplication>
#include <QTimer>
#include <functional>

namespace pelorin::testing {

// Runs act once, on the first modal widget of type T that becomes active.
template <class T>
void onModal(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
        auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
        if (widget == nullptr) return;
        timer->stop();
        timer->deleteLater();
        act(widget);
    });
    timer->start();
}

}  // namespace pelorin::testing
