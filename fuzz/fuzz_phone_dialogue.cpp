// Feeds arbitrary phone replies to the phone dialogue: the input is split into
// the results of successive reads (a length byte, then that many bytes; 0xFF
// makes the read fail). Whatever the phone says, the dialogue must stay
// inside its reply buffer, end exactly once and close the port it opened.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/phone_dialogue.h"

namespace {

using namespace pelorin;

struct Script {
    std::deque<std::optional<std::string>> reads;
    int opens = 0;
    int closes = 0;
};

class ScriptedPort final : public SerialPort {
public:
    explicit ScriptedPort(Script& script) : script_(script) {}
    ~ScriptedPort() override { close(); }
    void write(std::span<const std::uint8_t>) override {}
    bool read(std::uint8_t* buffer, std::size_t max, std::size_t& received) override {
        received = 0;
        if (script_.reads.empty()) return true;
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
    CountingReporter reporter;
    RunSendJob(job, "/dev/fuzz", opener, sleeper, reporter);
    if (reporter.ends != 1 || script.opens != 1 || script.closes != 1) __builtin_trap();
    return 0;
}
