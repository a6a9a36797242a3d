#include "platform/clock.h"

#include <chrono>

namespace pelorin {

namespace {

double steadyMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::int64_t SteadyClock::nowMs() { return static_cast<std::int64_t>(steadyMs()); }

std::int64_t FastClock::nowMs() {
    const double scaled = steadyMs() * (speed_ > 0 ? speed_ : 1.0);
    return static_cast<std::int64_t>(scaled);
}

}  // namespace pelorin
