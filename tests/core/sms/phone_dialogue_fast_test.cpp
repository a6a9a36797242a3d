// The reply-driven dialogue: the same line traffic, reports and outcomes as
// the fixed waits, without their waiting.

#include <gtest/gtest.h>

#include "dialogue_fakes.h"
#include "sms/phone_dialogue.h"

namespace pelorin {
namespace {

using namespace dialogue_test;

// The replies of a phone that accepts every message of the job.
void scriptAcceptingPhone(Line& line, const SendJob& job) {
    line.reply(kModeReply);
    for (const auto& part : BuildSendParts(job)) {
        line.reply(promptReply(part.length));
        line.reply(kAccepted);
    }
}

class FastDialogueTest : public PhoneDialogueTest {
protected:
    void SetUp() override {
        options.replyDriven = true;
        options.clock = &clock;
        line.clockMs = &clock.elapsedMs;
    }

    // Only the reports, in order.
    std::vector<std::string> reports() const {
        std::vector<std::string> out;
        for (const auto& e : events)
            if (e.rfind("status ", 0) == 0 || e.rfind("caption ", 0) == 0 || e.rfind("end ", 0) == 0) out.push_back(e);
        return out;
    }
};

TEST_F(FastDialogueTest, EveryKindWritesTheSameBytesAndReportsTheSameLinesWithoutWaiting) {
    for (const auto kind : {SendJobKind::OperatorLogo, SendJobKind::GroupGraphic, SendJobKind::RestoreOperatorLogo,
                            SendJobKind::PictureMessage, SendJobKind::LargeOperatorLogo}) {
        const SendJob job = jobOfKind(kind);

        std::vector<std::string> fixedEvents;
        Line fixedLine{fixedEvents, {}, {}, {}, 0, 0};
        FakeOpener fixedOpener{fixedLine};
        VirtualClock fixedClock{fixedEvents};
        RecordingReporter fixedReporter{fixedEvents};
        scriptAcceptingPhone(fixedLine, job);
        RunSendJob(job, "COM3:", fixedOpener, fixedClock, fixedReporter);

        resetLine();
        scriptAcceptingPhone(line, job);
        run(job);

        EXPECT_EQ(line.writes, fixedLine.writes) << static_cast<int>(kind);
        std::vector<std::string> fixedReports;
        for (const auto& e : fixedEvents)
            if (e.rfind("status ", 0) == 0 || e.rfind("caption ", 0) == 0 || e.rfind("end ", 0) == 0)
                fixedReports.push_back(e);
        EXPECT_EQ(reports(), fixedReports) << static_cast<int>(kind);
        EXPECT_TRUE(IsSuccessOutcome(outcome())) << outcome();
        EXPECT_EQ(count("sleep 1000") + count("sleep 2000"), 0);
        EXPECT_EQ(clock.elapsedMs, 0) << "every reply was there at once";
        EXPECT_GT(fixedClock.elapsedMs, 3000);
    }
}

TEST_F(FastDialogueTest, RepliesSplitOverManyReadsAreWaitedForUntilComplete) {
    const SendJob job = jobOfKind(SendJobKind::GroupGraphic);
    const int length = BuildSendParts(job)[0].length;
    for (const char* piece : {"AT+CM", "GF=0\r", "", "\r\nO", "", "K"}) line.reply(std::string(piece));
    line.reply(std::string("\r\n"));
    line.reply("AT+CMGS=" + std::to_string(length) + "\r\r");
    line.reply(std::string(""));
    line.reply(std::string("\n> "));
    line.reply(std::string("\r\n+CMGS: 3\r\n\r\nO"));
    for (int i = 0; i < 25; ++i) line.reply(std::string(""));  // 2.5 s without the K
    line.reply(std::string("K\r\n"));
    run(job);

    EXPECT_EQ(outcome(), "Logo was successfully sent");
    // The AT+CMGS command went out only after the line end of the OK.
    const auto cmgs = std::find_if(events.begin(), events.end(),
                                   [](const std::string& e) { return e.rfind("write AT+CMGS=", 0) == 0; });
    ASSERT_NE(cmgs, events.end());
    EXPECT_EQ(std::count(events.begin(), cmgs, "read"), 7);
    // The acknowledgement took two rounds, each reported as the fixed waits would.
    EXPECT_EQ(count("status Waiting for acknowledgement"), 2);
    EXPECT_EQ(clock.elapsedMs, 2800);
}

TEST_F(FastDialogueTest, FaultsEndWithTheFixedWaitsOutcomes) {
    const SendJob job = jobOfKind(SendJobKind::GroupGraphic);
    const int length = BuildSendParts(job)[0].length;

    // A phone without echo answers OK alone: refused at once.
    line.reply(std::string("\r\nOK\r\n"));
    run(job);
    EXPECT_EQ(outcome(), "Communication error");
    EXPECT_EQ(clock.elapsedMs, 0);

    // ERROR instead of the prompt ends the wait for it at once.
    resetLine();
    line.reply(kModeReply);
    line.reply(std::string("AT+CMGS=1\r\r\nERROR\r\n"));
    run(job);
    EXPECT_EQ(outcome(), "Communication error");
    EXPECT_EQ(clock.elapsedMs, 0);

    // No prompt at all: a second, then the same outcome.
    resetLine();
    line.reply(kModeReply);
    run(job);
    EXPECT_EQ(outcome(), "Communication error");
    EXPECT_EQ(clock.elapsedMs, 1000);

    // Silence after the PDU: fifteen rounds of 2 s, then ESC.
    resetLine();
    line.reply(kModeReply);
    line.reply(promptReply(length));
    run(job);
    EXPECT_EQ(outcome(), "Message send timeout");
    EXPECT_EQ(count("status Waiting for acknowledgement"), 15);
    EXPECT_EQ(clock.elapsedMs, 30000);
    ASSERT_FALSE(line.writes.empty());
    EXPECT_EQ(line.writes.back(), "\x1B");

    // A failed read while waiting.
    resetLine();
    line.reply(kModeReply);
    line.reply(promptReply(length));
    line.reply(std::string("\r\n+CMGS"));
    line.reply(std::nullopt);
    run(job);
    EXPECT_EQ(outcome(), "Error in connection");
}

TEST_F(FastDialogueTest, ThePhonesErrorCodeComesAsADetailBeforeTheOutcome) {
    const SendJob job = jobOfKind(SendJobKind::PictureMessage);
    const auto parts = BuildSendParts(job);
    line.reply(kModeReply);
    line.reply(promptReply(parts[0].length));
    line.reply(std::string("\r\n+CMS ERROR: 304\r\n"));
    run(job);
    EXPECT_EQ(outcome(), "Message send error");
    EXPECT_EQ(reporter.details, std::vector<std::string>{"The phone answered +CMS ERROR: 304: invalid PDU mode "
                                                         "parameter (3GPP TS 27.005)"});
    EXPECT_EQ(cmgsCommands().size(), 1u);
}

TEST_F(PhoneDialogueTest, FixedWaitsReportDetailsToo) {
    const SendJob job = jobOfKind(SendJobKind::GroupGraphic);
    line.reply(std::string("AT+CMGF=0\r\r\n+CME ERROR: SIM not inserted\r\n"));
    run(job);
    EXPECT_EQ(outcome(), "Communication error");
    EXPECT_EQ(reporter.details,
              std::vector<std::string>{"The phone answered +CME ERROR: SIM not inserted (code 10 of 3GPP TS 27.007)"});

    resetLine();
    opener.refuse = true;
    run(job);
    EXPECT_EQ(outcome(), "Cannot open COM port");
    EXPECT_EQ(reporter.details, std::vector<std::string>{"COM3: cannot be opened"});

    // A job that goes through has no detail.
    resetLine();
    opener.refuse = false;
    scriptAcceptingPhone(line, job);
    run(job);
    EXPECT_EQ(outcome(), "Logo was successfully sent");
    EXPECT_TRUE(reporter.details.empty());
}

}  // namespace
}  // namespace pelorin
