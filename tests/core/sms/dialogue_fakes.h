#pragma once

// A fake serial line, clock and reporter for the phone dialogue's tests: the
// phone's replies are scripted per read, and everything the dialogue does is
// logged in order.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "sms/phone_dialogue.h"

namespace pelorin {
namespace dialogue_test {

// Control characters written as \r, \n, \xHH so that sequences read plainly.
inline std::string escaped(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte >= 0x7F) {
            static const char digits[] = "0123456789ABCDEF";
            out += "\\x";
            out += digits[byte >> 4];
            out += digits[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

// The far end of a fake serial line: replies are scripted per read call
// (nullopt makes that read fail; once the script runs out the phone is
// silent), and everything the dialogue does is logged in order.
struct Line {
    std::vector<std::string>& events;
    std::deque<std::optional<std::string>> replies;
    std::vector<std::string> writes;
    std::vector<std::size_t> readSizes;  // what each read asked for
    int closes = 0;
    std::size_t overclaim = 0;     // a faulty port that reports more than it was asked for
    long long* clockMs = nullptr;  // moved on by 100 ms for every read that finds nothing

    void reply(std::optional<std::string> r) { replies.push_back(std::move(r)); }
};

class FakePort final : public SerialPort {
public:
    explicit FakePort(Line& line) : line_(line) {}
    ~FakePort() override { close(); }

    void write(std::span<const std::uint8_t> bytes) override {
        EXPECT_FALSE(closed_) << "write after close";
        std::string text(bytes.begin(), bytes.end());
        line_.events.push_back("write " + escaped(text));
        line_.writes.push_back(std::move(text));
    }

    bool read(std::uint8_t* buffer, std::size_t max, std::size_t& received) override {
        EXPECT_FALSE(closed_) << "read after close";
        line_.events.push_back("read");
        line_.readSizes.push_back(max);
        received = 0;
        if (line_.replies.empty()) {
            if (line_.clockMs != nullptr) *line_.clockMs += 100;
            return true;
        }
        std::optional<std::string> next = std::move(line_.replies.front());
        line_.replies.pop_front();
        if (!next) return false;
        if (next->empty() && line_.clockMs != nullptr) *line_.clockMs += 100;
        const std::size_t n = std::min(max, next->size());
        std::memcpy(buffer, next->data(), n);
        if (n < next->size()) line_.replies.push_front(next->substr(n));  // the rest waits on the line
        received = n + line_.overclaim;
        return true;
    }

    void close() override {
        if (closed_) return;
        closed_ = true;
        ++line_.closes;
        line_.events.push_back("close");
    }

private:
    Line& line_;
    bool closed_ = false;
};

class FakeOpener final : public SerialPortOpener {
public:
    explicit FakeOpener(Line& line) : line_(line) {}
    std::unique_ptr<SerialPort> open(const std::string& name) override {
        line_.events.push_back("open " + name);
        if (refuse) return nullptr;
        return std::make_unique<FakePort>(line_);
    }
    bool refuse = false;

private:
    Line& line_;
};

// Adds up the waits without taking any real time. As the clock of the
// reply-driven dialogue it also moves on by the 100 ms that a real read waits
// when nothing arrives (FakePort tells it).
class VirtualClock final : public Sleeper, public MonotonicClock {
public:
    explicit VirtualClock(std::vector<std::string>& events) : events_(events) {}
    void sleepMs(int ms) override {
        events_.push_back("sleep " + std::to_string(ms));
        elapsedMs += ms;
    }
    std::int64_t nowMs() override { return elapsedMs; }
    long long elapsedMs = 0;

private:
    std::vector<std::string>& events_;
};

class RecordingReporter final : public SendReporter {
public:
    explicit RecordingReporter(std::vector<std::string>& events) : events_(events) {}
    void status(std::string text) override { events_.push_back("status " + text); }
    void caption(std::string text) override { events_.push_back("caption " + text); }
    void end(std::string outcome) override { events_.push_back("end " + outcome); }
    // Kept apart from the events, which the fixed-wait tests compare whole.
    void failureDetail(std::string text) override { details.push_back(std::move(text)); }
    std::vector<std::string> details;

private:
    std::vector<std::string>& events_;
};

inline const std::string kModeReply = "AT+CMGF=0\r\r\nOK\r\n";
inline const std::string kAccepted = "\r\n+CMGS: 17\r\n\r\nOK\r\n";
inline const std::string kRefused = "\r\n+CMS ERROR: 500\r\n";

inline std::string promptReply(int length) { return "AT+CMGS=" + std::to_string(length) + "\r\r\n> "; }

inline SendJob jobOfKind(SendJobKind kind) {
    SendJob job;
    job.Kind = kind;
    job.Number = "+123";  // three digits: two address octets
    if (kind == SendJobKind::OperatorLogo || kind == SendJobKind::LargeOperatorLogo) {
        job.CountryCode = "262";
        job.OperatorCode = "02";
    }
    if (kind == SendJobKind::PictureMessage) job.Text = "Hi";
    return job;
}

class PhoneDialogueTest : public ::testing::Test {
protected:
    std::vector<std::string> events;
    Line line{events, {}, {}, {}, 0, 0};
    FakeOpener opener{line};
    VirtualClock clock{events};
    RecordingReporter reporter{events};
    DialogueOptions options;  // the fixed waits unless a test says otherwise

    // For a further job in the same test: a fresh log, line and clock.
    void resetLine() {
        events.clear();
        line.writes.clear();
        line.readSizes.clear();
        line.closes = 0;
        clock.elapsedMs = 0;
        reporter.details.clear();
    }

    // Runs the job and checks what must hold on every path: one end, and
    // after it nothing but the closing of a port that was opened.
    void run(const SendJob& job) {
        RunSendJob(job, "COM3:", opener, clock, reporter, options);
        const auto ends =
            std::count_if(events.begin(), events.end(), [](const std::string& e) { return e.rfind("end ", 0) == 0; });
        ASSERT_EQ(ends, 1) << "exactly one end per job";
        auto end =
            std::find_if(events.begin(), events.end(), [](const std::string& e) { return e.rfind("end ", 0) == 0; });
        const bool opened = std::find(events.begin(), events.end(), "open COM3:") != events.end() && !opener.refuse;
        std::vector<std::string> after(end + 1, events.end());
        EXPECT_EQ(after, opened ? std::vector<std::string>{"close"} : std::vector<std::string>{});
        EXPECT_EQ(line.closes, opened ? 1 : 0);
    }

    std::string outcome() const {
        for (const auto& e : events)
            if (e.rfind("end ", 0) == 0) return e.substr(4);
        return "(no end)";
    }

    long count(const std::string& event) const { return std::count(events.begin(), events.end(), event); }

    // The writes that start with an AT+CMGS command.
    std::vector<std::string> cmgsCommands() const {
        std::vector<std::string> result;
        for (const auto& w : line.writes)
            if (w.rfind("AT+CMGS=", 0) == 0) result.push_back(w);
        return result;
    }
};

}  // namespace dialogue_test
}  // namespace pelorin
