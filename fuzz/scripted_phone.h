#pragma once

// A phone made of a fuzzer's input for the dialogue targets: the input after
// its first byte is split into the results of successive reads (a length
// byte, then that many bytes; 0xFF makes the read fail). A read with nothing
// left moves the script's clock on by 100 ms, so that reply-driven waits end.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/serial_port.h"

namespace fuzzing {

struct Script {
    std::deque<std::optional<std::string>> reads;
    std::int64_t clockMs = 0;
    int opens = 0;
    int closes = 0;
    // See every write and every read, as text.
    std::function<void(std::string_view)> onWrite;
    std::function<void(std::string_view)> onRead;

    static Script fromInput(const std::uint8_t* data, std::size_t size) {
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
        return script;
    }
};

class ScriptClock : public pelorin::MonotonicClock {
public:
    explicit ScriptClock(Script& script) : script_(script) {}
    std::int64_t nowMs() override { return script_.clockMs; }

protected:
    Script& script_;
};

class ScriptedPort final : public pelorin::SerialPort {
public:
    explicit ScriptedPort(Script& script) : script_(script) {}
    ~ScriptedPort() override { close(); }
    void write(std::span<const std::uint8_t> bytes) override {
        if (script_.onWrite)
            script_.onWrite(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
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
        if (script_.onRead) script_.onRead(std::string_view(next->data(), received));
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

class ScriptedOpener final : public pelorin::SerialPortOpener {
public:
    explicit ScriptedOpener(Script& script) : script_(script) {}
    std::unique_ptr<pelorin::SerialPort> open(const std::string&) override {
        ++script_.opens;
        return std::make_unique<ScriptedPort>(script_);
    }

private:
    Script& script_;
};

}  // namespace fuzzing
