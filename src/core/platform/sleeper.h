#pragma once

namespace pelorin {

// Pauses the calling thread. The phone dialogue waits through one of these so
// that tests can run its waits on a virtual clock.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void sleepMs(int ms) = 0;
};

// Sleeps for as long as asked.
class RealSleeper final : public Sleeper {
public:
    void sleepMs(int ms) override;
};

// Sleeps ms * factor: the real timing of a dialogue, shortened, for fast runs
// against a real device.
class ScaledSleeper final : public Sleeper {
public:
    explicit ScaledSleeper(double factor) : factor_(factor) {}
    void sleepMs(int ms) override;

private:
    double factor_;
};

}  // namespace pelorin
