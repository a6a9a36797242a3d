#pragma once

#include <atomic>

namespace pelorin {

// Asks a running conversation with the phone to stop. Another thread (the
// user interface, a signal watcher) calls stop(); the conversation looks at
// stopRequested() at each of its waits and ends there, so nothing more goes
// to the phone after the command or message already written. Once stopped
// it stays stopped.
class StopToken {
public:
    void stop() noexcept { stopped_.store(true, std::memory_order_relaxed); }
    bool stopRequested() const noexcept { return stopped_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> stopped_{false};
};

}  // namespace pelorin
