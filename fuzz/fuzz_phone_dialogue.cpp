// Feeds arbitrary phone replies to the phone dialogue, read by read as
// scripted_phone.h splits them. Whatever the phone says, the dialogue must stay
// inside its reply buffer, end exactly once and close the port it opened.
// The first byte picks the job's kind and the way: fixed waits, reply-driven
// (on a clock that a read finding nothing moves on by 100 ms), or the
// network query.
#include <cstddef>
#include <cstdint>

#include "platform/sleeper.h"
#include "scripted_phone.h"
#include "sms/network_query.h"
#include "sms/phone_dialogue.h"

namespace {

using namespace pelorin;

using fuzzing::Script;
using fuzzing::ScriptClock;
using fuzzing::ScriptedOpener;

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
    Script script = Script::fromInput(data, size);

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
