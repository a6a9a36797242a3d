#include "platform/sleeper.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace pelorin {

namespace {

void sleepMicroseconds(double us) {
    if (!(us > 0)) return;                       // also refuses NaN
    constexpr double kLongestUs = 3600.0 * 1e6;  // keeps the conversion defined for absurd factors
    std::this_thread::sleep_for(std::chrono::microseconds(std::llround(us < kLongestUs ? us : kLongestUs)));
}

}  // namespace

void RealSleeper::sleepMs(int ms) { sleepMicroseconds(static_cast<double>(ms) * 1000.0); }

void ScaledSleeper::sleepMs(int ms) { sleepMicroseconds(static_cast<double>(ms) * factor_ * 1000.0); }

}  // namespace pelorin
