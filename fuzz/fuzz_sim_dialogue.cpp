// Feeds arbitrary phone replies to the dialogue with everything for the
// phones people own switched on: a PIN to give, an SMS centre number to set,
// slow writes and a log of the line. The input is split into reads as in
// fuzz_phone_dialogue (a length byte, then that many bytes; 0xFF fails the
// read). Whatever the phone says, the dialogue ends exactly once, closes the
// port, gives the PIN at most once and never lets it into the log. The same
// bytes also go through the readers of SIM answers and probe replies.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/port_probe.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/line_log.h"
#include "sms/phone_dialogue.h"
#include "sms/sim_replies.h"

namespace {

using namespace pelorin;

constexpr const char* kPin = "73915";

struct Script {
    std::deque<std::optional<std::string>> reads;
    std::int64_t clockMs = 0;
    int opens = 0;
    int closes = 0;
    int pinsGiven = 0;
};

class ScriptClock final : public MonotonicClock, public Sleeper {
public:
    explicit ScriptClock(Script& script) : script_(script) {}
    std::int64_t nowMs() override { return script_.clockMs; }
    void sleepMs(int ms) override { script_.clockMs += ms; }

private:
    Script& script_;
};

class ScriptedPort final : public SerialPort {
public:
    explicit ScriptedPort(Script& script) : script_(script) {}
    ~ScriptedPort() override { close(); }
    void write(std::span<const std::uint8_t> bytes) override {
        const std::string text(bytes.begin(), bytes.end());
        if (text.find(std::string("AT+CPIN=\"") + kPin) != std::string::npos) ++script_.pinsGiven;
    }
    bool read(std::uint8_t* buffer, std::size_t max, std::size_t& received) override {
        received = 0;
        if (script_.reads.empty()) {
            script_.clockMs += 100;
            return true;
        }
        auto next = std::move(script_.reads.front());
        script_.reads.pop_front();
        if (!next) return false;
        received = std::min(max, next->size());
        std::memcpy(buffer, next->data(), received);
        if (received < next->size()) script_.reads.push_front(next->substr(received));
        return true;
    }
    void close() override {
        if (!closed_) ++script_.closes;
        closed_ = true;
    }

private:
    Script& script_;
    bool closed_ = false;
};

class ScriptedOpener final : public SerialPortOpener {
public:
    explicit ScriptedOpener(Script& script) : script_(script) {}
    std::unique_ptr<SerialPort> open(const std::string&) override {
        ++script_.opens;
        return std::make_unique<ScriptedPort>(script_);
    }

private:
    Script& script_;
};

class CountingReporter final : public SendReporter {
public:
    void status(std::string) override {}
    void caption(std::string) override {}
    void failureDetail(std::string text) override {
        if (text.find(kPin) != std::string::npos) __builtin_trap();
    }
    void end(std::string) override { ++ends; }
    int ends = 0;
};

std::string logPath() {
    static const std::string path = [] {
        char name[] = "/tmp/fuzz-sim-dialogue-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd >= 0) ::close(fd);
        return std::string(name);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view whole(reinterpret_cast<const char*>(data), size);
    (void)simCondition(findPhoneError(whole));
    if (const auto state = findPinState(whole); state && state->size() > 16) __builtin_trap();
    if (const auto centre = findCentreNumber(whole); centre && centre->size() > 24) __builtin_trap();
    (void)hasPduPrompt(whole, "AT+CMGS=150");
    if (identityLines(whole, "ATI").size() > 80) __builtin_trap();
    PinMask mask;
    const std::string masked = mask.apply(whole);
    if (masked.size() != size) __builtin_trap();
    (void)formatLineLogEntry(static_cast<std::int64_t>(data[0]) * 1000, LineDirection::Received, masked);

    Script script;
    std::size_t at = 1;
    while (at < size) {
        const std::uint8_t length = data[at++];
        if (length == 0xFF) {
            script.reads.emplace_back(std::nullopt);
            continue;
        }
        const std::size_t n = std::min<std::size_t>(length, size - at);
        script.reads.emplace_back(std::string(reinterpret_cast<const char*>(data + at), n));
        at += n;
    }
    SendJob job;
    job.Kind = static_cast<SendJobKind>(1 + data[0] % 5);
    job.Number = "+4917012345";
    job.CountryCode = "262";
    job.OperatorCode = "02";
    job.Text = "fuzz";
    ScriptedOpener inner(script);
    std::string why;
    auto log = LineLog::create(logPath(), why);
    if (!log) return 0;
    LoggingSerialPortOpener opener(inner, *log);
    ScriptClock clock(script);
    FixedPinSource pin(std::string(kPin), "give it");
    DialogueOptions options;
    options.replyDriven = (data[0] & 0x80) != 0;
    options.slowWrites = (data[0] & 0x40) != 0;
    options.clock = &clock;
    options.pin = &pin;
    options.smsCentre = (data[0] & 0x20) != 0 ? "+491722270333" : "";
    CountingReporter reporter;
    RunSendJob(job, "/dev/fuzz", opener, clock, reporter, options);
    if (reporter.ends != 1 || script.opens != 1 || script.closes != 1 || script.pinsGiven > 1) __builtin_trap();
    return 0;
}
