#pragma once

#include <functional>
#include <memory>

namespace pelorin {

class CancelToken;

// The one way the editor talks to a phone or an SMS centre in the
// background: sends, "From phone" and File > Import from phone each run as a
// task on a detached thread with its own CancelToken. Every task running is
// counted and can be cancelled at once, so that a quit stops them at their
// next wait and waits for them to give their ports back.
//
// Runs task(cancel) on a new thread (cancel made here when not given);
// false when no thread could be started, and then the task has not run.
bool startPhoneTask(std::function<void(const CancelToken& cancel)> task, std::shared_ptr<CancelToken> cancel = {});

// Cancels every task that is running.
void cancelPhoneTasks();

// Tasks that have not yet returned.
int runningPhoneTasks();

}  // namespace pelorin
