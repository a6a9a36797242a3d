// Feeds arbitrary phone replies to the dialogue with everything for the
// phones people own switched on: a PIN to give, an SMS centre number to set,
// slow writes and a log of the line. The input is split into reads as
// scripted_phone.h does. Whatever the phone says, the dialogue ends exactly
// once, closes the port, gives the SIM at most one PIN that it may weigh (one
// answered "SIM busy" was not taken) and never shows it in a failure's
// detail. The same bytes also go through the readers of SIM answers and probe
// replies.
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/port_probe.h"
#include "platform/sleeper.h"
#include "scripted_phone.h"
#include "sms/line_log.h"
#include "sms/phone_dialogue.h"
#include "sms/sim_replies.h"

namespace {

using namespace pelorin;

constexpr const char* kPin = "73915";

using fuzzing::Script;
using fuzzing::ScriptedOpener;

// The script's clock, which sleeping also moves on.
class ScriptClock final : public fuzzing::ScriptClock, public Sleeper {
public:
    using fuzzing::ScriptClock::ScriptClock;
    void sleepMs(int ms) override { script_.clockMs += ms; }
};

// Counts the PINs the SIM may have weighed: a PIN answered with "SIM busy"
// was not taken and may be given again a second later.
class PinCounter {
public:
    void wrote(std::string_view text) {
        settle();
        pending_ = text.find(std::string("AT+CPIN=\"") + kPin) != std::string_view::npos;
        answer_.clear();
    }
    void read(std::string_view text) {
        if (pending_ && answer_.size() < 4096) answer_.append(text);
    }
    int weighed() {
        settle();
        return weighed_;
    }

private:
    void settle() {
        if (pending_ && simCondition(findPhoneError(answer_)) != SimCondition::Busy) ++weighed_;
        pending_ = false;
    }
    bool pending_ = false;
    std::string answer_;
    int weighed_ = 0;
};

class CountingReporter final : public SendReporter {
public:
    void status(std::string) override {}
    void caption(std::string) override {}
    // A detail may quote what the phone said, which can hold any digits; what
    // it never shows are the digits of a PIN command, ours or one the phone
    // echoes.
    void failureDetail(std::string text) override {
        std::string upper = text;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (auto at = upper.find("CPIN=\""); at != std::string::npos; at = upper.find("CPIN=\"", at + 1)) {
            const std::size_t next = at + 6;
            if (next < upper.size() && upper[next] >= '0' && upper[next] <= '9') __builtin_trap();
        }
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

    Script script = Script::fromInput(data, size);
    PinCounter pins;
    script.onWrite = [&pins](std::string_view text) { pins.wrote(text); };
    script.onRead = [&pins](std::string_view text) { pins.read(text); };
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
    if (reporter.ends != 1 || script.opens != 1 || script.closes != 1 || pins.weighed() > 1) __builtin_trap();
    return 0;
}
