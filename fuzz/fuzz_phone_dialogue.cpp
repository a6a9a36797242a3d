// Feeds arbitrary phone replies to the phone dialogue: the input is split into
// the results of successive reads (a length byte, then that many bytes; 0xFF
// makes the read fail). Whatever the phone says, the dialogue must stay
// inside its reply buffer, end exactly once and close the port it opened.
// The first byte picks the job's kind and the way: fixed waits, reply-driven
// (on a clock that a read finding nothing moves on by 100 ms), or the
// network query.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/network_query.h"
#include "sms/phone_dialogue.h"

namespace {

using namespace pelorin;

struct Script {
    std::deque<std::optional<std::string>> reads;
    int opens = 0;
    int closes = 0;
    std::int64_t clockMs = 0;
};

class ScriptClock final : public MonotonicClock {
public:
    explicit ScriptClock(Script& script) : script_(script) {}
    std::int64_t nowMs() override { return script_.clockMs; }

private:
    Script& script_;
};

class ScriptedPort final : public SerialPort {
public:
    explicit ScriptedPort(Script& script) : script_(script) {}
    ~ScriptedPort() override { close(); }
    void write(std::span<const std::uint8_t>) override {}
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

class NoSleep final : public Sleeper {
public:
    void sleepMs(int) override {}
};

class CountingReporter final : public SendReporter {
public:
    void status(std::string) override {
        if (ends != 0) __builtin_trap();
    }
    void caption(std::string) override {
        if (ends != 0) __builtin_trap();
    }
    void end(std::string) override { ++ends; }
    int ends = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
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
    ScriptedOpener opener(script);
    NoSleep sleeper;
    ScriptClock clock(script);
    DialogueOptions options;
    options.replyDriven = (data[0] & 0x80) != 0;
    options.clock = &clock;
    if ((data[0] & 0xC0) == 0x40) {
        const NetworkQueryResult result = QueryNetwork("/dev/fuzz", opener, sleeper, options);
        const bool found = result.status == NetworkQueryResult::Status::Found;
        if (found && (result.mcc.size() != 3 || result.mnc.size() < 2 || result.mnc.size() > 3)) __builtin_trap();
        if (!found && result.detail.empty()) __builtin_trap();
        if (script.opens != 1 || script.closes != 1) __builtin_trap();
        return 0;
    }
    CountingReporter reporter;
    RunSendJob(job, "/dev/fuzz", opener, sleeper, reporter, options);
    if (reporter.ends != 1 || script.opens != 1 || script.closes != 1) __builtin_trap();
    return 0;
}
