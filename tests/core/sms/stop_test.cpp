// A job asked to stop: it ends at the next wait, writes nothing after the
// command or message in flight (but ESC for a phone at its prompt), closes
// the port and says what the phone may still deliver.

#include "dialogue_fakes.h"

namespace pelorin {
namespace {

using namespace dialogue_test;

// Stops the job when the given report (caption or status) comes for the
// given time.
class StoppingReporter final : public SendReporter {
public:
    StoppingReporter(SendReporter& inner, StopToken& token, std::string trigger, int occurrence)
        : inner_(inner), token_(token), trigger_(std::move(trigger)), left_(occurrence) {}
    void status(std::string text) override {
        check("status " + text);
        inner_.status(std::move(text));
    }
    void caption(std::string text) override {
        check("caption " + text);
        inner_.caption(std::move(text));
    }
    void end(std::string outcome) override { inner_.end(std::move(outcome)); }
    void failureDetail(std::string text) override { inner_.failureDetail(std::move(text)); }

private:
    void check(const std::string& report) {
        if (report == trigger_ && --left_ == 0) token_.stop();
    }
    SendReporter& inner_;
    StopToken& token_;
    std::string trigger_;
    int left_;
};

using StopTest = PhoneDialogueTest;

TEST_F(StopTest, EndsAtTheNextWaitWithNothingWrittenAfterTheStepInFlight) {
    struct Case {
        const char* what;
        std::string trigger;
        int occurrence;
        std::size_t writes;     // commands and messages written in all
        bool escapeLast;        // the last write is ESC
        const char* detail;     // empty: none
    } cases[] = {
        {"while switching to PDU mode", "status Setting up connection", 1, 1, false, ""},
        {"while the phone prompts for message 1", "status Setting up phone", 1, 3, true, ""},
        {"while message 1 waits for its acknowledgement", "status Sending logo", 1, 3, false,
         "The phone already had 1 of 3 messages; they may still be delivered"},
        {"while message 2 waits for its acknowledgement", "status Sending logo", 2, 5, false,
         "The phone already had 2 of 3 messages; they may still be delivered"},
        {"between message 2 and message 3", "caption Sending SMS 3/3", 1, 5, false,
         "The phone already had 2 of 3 messages; they may still be delivered"},
    };
    for (const bool fast : {false, true}) {
        for (const Case& c : cases) {
            resetLine();
            line.replies.clear();
            line.reply(kModeReply);
            for (int part = 0; part < 3; ++part) {
                line.reply(promptReply(140));
                line.reply(kAccepted);
            }
            StopToken stop;
            options = {};
            options.replyDriven = fast;
            options.clock = &clock;
            options.stop = &stop;
            line.clockMs = fast ? &clock.elapsedMs : nullptr;
            StoppingReporter stopping(reporter, stop, c.trigger, c.occurrence);
            RunSendJob(jobOfKind(SendJobKind::PictureMessage), "COM3:", opener, clock, stopping, options);
            const std::string what = std::string(c.what) + (fast ? " (reply-driven)" : " (fixed waits)");
            EXPECT_EQ(outcome(), "Sending stopped") << what;
            ASSERT_EQ(line.writes.size(), c.writes) << what;
            EXPECT_EQ(line.writes.back() == "\x1B", c.escapeLast) << what;
            EXPECT_EQ(line.closes, 1) << what;
            EXPECT_EQ(events.back(), "close") << what;
            EXPECT_EQ(reporter.details, *c.detail ? std::vector<std::string>{c.detail} : std::vector<std::string>{})
                << what;
        }
    }
}

}  // namespace
}  // namespace pelorin
