#include "platform/sleeper.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace pelorin {

namespace {

constexpr double kLongestUs = 3600.0 * 1e6;  // keeps the conversion defined for absurd factors

void sleepMicroseconds(double us) {
    if (!(us > 0)) return;  // also refuses NaN
    std::this_thread::sleep_for(std::chrono::microseconds(std::llround(us < kLongestUs ? us : kLongestUs)));
}

// Sleeps in slices, looking at the token between them.
void sleepMicrosecondsUnlessCancelled(double us, const CancelToken* cancel) {
    constexpr double kSliceUs = Sleeper::kCancelSliceMs * 1000.0;
    if (!(us > 0)) return;
    if (us > kLongestUs) us = kLongestUs;
    while (us > 0 && !isCancelled(cancel)) {
        const double slice = us < kSliceUs ? us : kSliceUs;
        sleepMicroseconds(slice);
        us -= slice;
    }
}

}  // namespace

void RealSleeper::sleepMs(int ms) { sleepMicroseconds(static_cast<double>(ms) * 1000.0); }

void ScaledSleeper::sleepMs(int ms) { sleepMicroseconds(static_cast<double>(ms) * factor_ * 1000.0); }

void RealSleeper::sleepUnlessCancelled(int ms, const CancelToken* cancel) {
    sleepMicrosecondsUnlessCancelled(static_cast<double>(ms) * 1000.0, cancel);
}

void ScaledSleeper::sleepUnlessCancelled(int ms, const CancelToken* cancel) {
    sleepMicrosecondsUnlessCancelled(static_cast<double>(ms) * factor_ * 1000.0, cancel);
}

}  // namespace pelorin
