#pragma once

#include <cstdint>

namespace pelorin {

// Milliseconds from some fixed point, never going back. The reply-driven
// dialogue measures its bounds with one, so that tests can run it on a
// virtual clock.
class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    virtual std::int64_t nowMs() = 0;
};

class SteadyClock final : public MonotonicClock {
public:
    std::int64_t nowMs() override;
};

// A steady clock that runs `speed` times as fast: bounds measured on it pass
// sooner, for shortened runs against a real device.
class FastClock final : public MonotonicClock {
public:
    explicit FastClock(double speed) : speed_(speed) {}
    std::int64_t nowMs() override;

private:
    double speed_;
};

}  // namespace pelorin
