#pragma once

#include <QEvent>
#include <QObject>
#include <memory>
#include <mutex>

namespace pelorin {

// A QObject that another thread may post events to, guarded against the
// object's destruction: its owner detaches it before it goes, and from then on
// posts are dropped. Posting and detaching take turns under one lock, so an
// event is never posted to an object that is being destroyed (Qt removes the
// events already queued for an object when it is destroyed).
class PostTarget {
public:
    explicit PostTarget(QObject* object) : object_(object) {}
    PostTarget(const PostTarget&) = delete;
    PostTarget& operator=(const PostTarget&) = delete;

    // Any thread. Hands the event to Qt's queue of the object's thread, or
    // drops it when the object has been detached.
    void post(std::unique_ptr<QEvent> event);

    // The object's own thread, before the object is destroyed.
    void detach();

private:
    std::mutex mutex_;
    QObject* object_;
};

}  // namespace pelorin
