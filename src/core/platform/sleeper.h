#pragma once

#include "platform/cancel_token.h"

namespace pelorin {

// Pauses the calling thread. The phone dialogue waits through one of these so
// that tests can run its waits on a virtual clock.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void sleepMs(int ms) = 0;
    // As sleepMs, but returns early once cancel is cancelled (checked at
    // least every kCancelSliceMs of real time). The default sleeps the whole
    // time: right for sleepers that take no real time.
    virtual void sleepUnlessCancelled(int ms, const CancelToken* cancel) {
        (void)cancel;
        sleepMs(ms);
    }
    static constexpr int kCancelSliceMs = 50;
};

// Sleeps for as long as asked.
class RealSleeper final : public Sleeper {
public:
    void sleepMs(int ms) override;
    void sleepUnlessCancelled(int ms, const CancelToken* cancel) override;
};

// Sleeps ms * factor: the real timing of a dialogue, shortened, for fast runs
// against a real device.
class ScaledSleeper final : public Sleeper {
public:
    explicit ScaledSleeper(double factor) : factor_(factor) {}
    void sleepMs(int ms) override;
    void sleepUnlessCancelled(int ms, const CancelToken* cancel) override;

private:
    double factor_;
};

}  // namespace pelorin
