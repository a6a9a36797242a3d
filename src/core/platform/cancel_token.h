#pragma once

#include <atomic>

namespace pelorin {

// Asks a running job to stop at its next wait. cancel() may be called from
// any thread and from a signal handler (it is one lock-free store); the job
// looks at cancelled() before each command and after every read or slice of
// a wait, and unwinds from there.
class CancelToken {
public:
    void cancel() noexcept { cancelled_.store(true, std::memory_order_relaxed); }
    bool cancelled() const noexcept { return cancelled_.load(std::memory_order_relaxed); }

private:
    static_assert(std::atomic<bool>::is_always_lock_free, "cancel() must be safe in a signal handler");
    std::atomic<bool> cancelled_{false};
};

// True when token is given and has been cancelled.
inline bool isCancelled(const CancelToken* token) noexcept { return token != nullptr && token->cancelled(); }

}  // namespace pelorin
