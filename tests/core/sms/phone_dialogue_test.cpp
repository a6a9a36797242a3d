#include "sms/phone_dialogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>

#include "dialogue_fakes.h"

namespace pelorin {
namespace {

using namespace dialogue_test;

TEST_F(PhoneDialogueTest, OperatorLogoRunsTheWholeDialogueInOrder) {
    const SendJob job = jobOfKind(SendJobKind::OperatorLogo);
    line.reply(kModeReply);
    line.reply(promptReply(150));
    line.reply(kAccepted);
    run(job);

    const std::string pdu = BuildSendParts(job)[0].pdu;
    const std::vector<std::string> expected = {
        "status Opening COM port",
        "open COM3:",
        "caption Sending SMS",
        "status Setting up connection",
        "write AT+CMGF=0\\r\\n",
        "sleep 1000",
        "read",
        "status Setting up phone",
        "write AT+CMGS=150\\r\\n",
        "sleep 1000",
        "read",
        "status Sending logo",
        "write " + pdu + "\\x1A",
        "sleep 2000",
        "status Waiting for acknowledgement",
        "read",
        "end Logo was successfully sent",
        "close",
    };
    EXPECT_EQ(events, expected);
    EXPECT_EQ(line.readSizes, (std::vector<std::size_t>{1024, 1024, 1024}));
    EXPECT_EQ(clock.elapsedMs, 4000);
}

TEST_F(PhoneDialogueTest, GroupGraphicWritesExactBytes) {
    SendJob job = jobOfKind(SendJobKind::GroupGraphic);
    line.reply(kModeReply);
    line.reply(promptReply(148));
    line.reply(kAccepted);
    run(job);

    ASSERT_EQ(line.writes.size(), 3u);
    EXPECT_EQ(line.writes[0], "AT+CMGF=0\r\n");
    EXPECT_EQ(line.writes[1], "AT+CMGS=148\r\n");
    // The PDU and its Ctrl-Z go out as one write of 299 bytes.
    const std::string expectedPdu = "005100039121F300F5A78A060504158300003000480E01" + std::string(252, '0') + "\x1A";
    EXPECT_EQ(line.writes[2].size(), 299u);
    EXPECT_EQ(line.writes[2], expectedPdu);
    EXPECT_EQ(outcome(), "Logo was successfully sent");
}

TEST_F(PhoneDialogueTest, LargeOperatorLogoSendsTwoMessagesWithOneSetUp) {
    const SendJob job = jobOfKind(SendJobKind::LargeOperatorLogo);
    line.reply(kModeReply);
    line.reply(promptReply(150));
    line.reply(kAccepted);
    line.reply(promptReply(108));
    line.reply(kAccepted);
    run(job);

    const auto parts = BuildSendParts(job);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(line.writes, (std::vector<std::string>{"AT+CMGF=0\r\n", "AT+CMGS=150\r\n", parts[0].pdu + "\x1A",
                                                     "AT+CMGS=108\r\n", parts[1].pdu + "\x1A"}));
    std::vector<std::string> reports;
    for (const auto& e : events)
        if (e.rfind("status ", 0) == 0 || e.rfind("caption ", 0) == 0 || e.rfind("end ", 0) == 0) reports.push_back(e);
    EXPECT_EQ(reports, (std::vector<std::string>{
                           "status Opening COM port",
                           "caption Sending SMS 1/2",
                           "status Setting up connection",
                           "status Setting up phone",
                           "status Sending logo",
                           "status Waiting for acknowledgement",
                           "caption Sending SMS 2/2",
                           "status Sending logo",
                           "status Waiting for acknowledgement",
                           "end Logo was successfully sent",
                       }));
    EXPECT_EQ(clock.elapsedMs, 1000 + 2 * (1000 + 2000));
}

TEST_F(PhoneDialogueTest, PictureMessageSendsThreeMessages) {
    const SendJob job = jobOfKind(SendJobKind::PictureMessage);
    line.reply(kModeReply);
    for (int length : {150, 150, 31}) {  // the last: 2 address octets + 27 + 2 characters of text
        line.reply(promptReply(length));
        line.reply(kAccepted);
    }
    run(job);

    const auto parts = BuildSendParts(job);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(line.writes,
              (std::vector<std::string>{"AT+CMGF=0\r\n", "AT+CMGS=150\r\n", parts[0].pdu + "\x1A", "AT+CMGS=150\r\n",
                                        parts[1].pdu + "\x1A", "AT+CMGS=31\r\n", parts[2].pdu + "\x1A"}));
    std::vector<std::string> reports;
    for (const auto& e : events)
        if (e.rfind("status ", 0) == 0 || e.rfind("caption ", 0) == 0 || e.rfind("end ", 0) == 0) reports.push_back(e);
    EXPECT_EQ(reports, (std::vector<std::string>{
                           "status Opening COM port",
                           "caption Sending SMS 1/3",
                           "status Setting up connection",
                           "status Setting up phone",
                           "status Sending logo",
                           "status Waiting for acknowledgement",
                           "caption Sending SMS 2/3",
                           "status Sending logo",
                           "status Waiting for acknowledgement",
                           "caption Sending SMS 3/3",
                           "status Sending logo",
                           "status Waiting for acknowledgement",
                           "end Picture message was successfully sent",
                       }));
}

TEST_F(PhoneDialogueTest, RestoreOperatorLogoIsOneMessage) {
    line.reply(kModeReply);
    line.reply(promptReply(150));
    line.reply(kAccepted);
    run(jobOfKind(SendJobKind::RestoreOperatorLogo));
    EXPECT_EQ(cmgsCommands(), (std::vector<std::string>{"AT+CMGS=150\r\n"}));
    EXPECT_EQ(count("caption Sending SMS"), 1);
    EXPECT_EQ(outcome(), "Logo was successfully sent");
}

TEST_F(PhoneDialogueTest, PortThatCannotBeOpenedEndsAtOnceWithNothingToClose) {
    opener.refuse = true;
    run(jobOfKind(SendJobKind::OperatorLogo));
    EXPECT_EQ(events, (std::vector<std::string>{"status Opening COM port", "open COM3:", "end Cannot open COM port"}));
    EXPECT_TRUE(line.writes.empty());
}

TEST_F(PhoneDialogueTest, FailedReadAfterACommandIsAConnectionError) {
    line.reply(std::nullopt);
    run(jobOfKind(SendJobKind::OperatorLogo));
    EXPECT_EQ(outcome(), "Error in connection");
    EXPECT_EQ(line.writes, (std::vector<std::string>{"AT+CMGF=0\r\n"}));

    events.clear();
    line.writes.clear();
    line.closes = 0;
    line.reply(kModeReply);
    line.reply(std::nullopt);
    run(jobOfKind(SendJobKind::OperatorLogo));
    EXPECT_EQ(outcome(), "Error in connection");
    EXPECT_EQ(line.writes, (std::vector<std::string>{"AT+CMGF=0\r\n", "AT+CMGS=150\r\n"}));
}

TEST_F(PhoneDialogueTest, FailedReadWhileWaitingEndsTheJobAtOnce) {
    line.reply(kModeReply);
    line.reply(promptReply(150));
    line.reply("");  // round 1: nothing yet
    line.reply("\r\n+CM");
    line.reply(std::nullopt);  // round 3: the line is gone
    line.reply(kAccepted);     // never read
    run(jobOfKind(SendJobKind::OperatorLogo));
    EXPECT_EQ(outcome(), "Error in connection");
    EXPECT_EQ(count("status Waiting for acknowledgement"), 3);
    EXPECT_EQ(line.writes.size(), 3u) << "no ESC after a failed read";
    EXPECT_EQ(clock.elapsedMs, 2000 + 3 * 2000);
}

TEST_F(PhoneDialogueTest, PduModeReplyNeedsOkAndTheEcho) {
    struct Case {
        const char* what;
        std::string reply;
    };
    const Case cases[] = {
        {"no echo", "\r\nOK\r\n"},
        {"no OK", "AT+CMGF=0\r\r\nERROR\r\n"},
        {"lower case", "at+cmgf=0\r\r\nok\r\n"},
        {"nothing at all", ""},
    };
    for (const Case& c : cases) {
        events.clear();
        line.writes.clear();
        line.closes = 0;
        line.replies.clear();
        line.reply(c.reply);
        line.reply(promptReply(150));
        line.reply(kAccepted);
        run(jobOfKind(SendJobKind::OperatorLogo));
        EXPECT_EQ(outcome(), "Communication error") << c.what;
        EXPECT_EQ(line.writes, (std::vector<std::string>{"AT+CMGF=0\r\n"})) << c.what;
    }
}

TEST_F(PhoneDialogueTest, MissingPromptIsACommunicationError) {
    line.reply(kModeReply);
    line.reply("AT+CMGS=150\r\r\nERROR\r\n");
    run(jobOfKind(SendJobKind::OperatorLogo));
    EXPECT_EQ(outcome(), "Communication error");
    EXPECT_EQ(line.writes.size(), 2u) << "no PDU without the prompt";
}

TEST_F(PhoneDialogueTest, AcknowledgementInPiecesIsFoundOnceComplete) {
    line.reply(kModeReply);
    line.reply(promptReply(150));
    line.reply("\r\n+CMGS: 3\r\n\r\nO");
    line.reply("");
    line.reply("K\r\n");
    line.reply("\r\nERROR\r\n");  // too late: the job has ended
    run(jobOfKind(SendJobKind::OperatorLogo));
    EXPECT_EQ(outcome(), "Logo was successfully sent");
    EXPECT_EQ(count("status Waiting for acknowledgement"), 3);
    // Each read asks only for the room the earlier pieces left.
    const std::vector<std::size_t> ackReads(line.readSizes.begin() + 2, line.readSizes.end());
    EXPECT_EQ(ackReads, (std::vector<std::size_t>{1024, 1024 - 15, 1024 - 15}));
}

TEST_F(PhoneDialogueTest, ErrorCountsEvenBesideOk) {
    line.reply(kModeReply);
    line.reply(promptReply(150));
    line.reply("\r\nOK\r\n\r\nERROR\r\n");
    run(jobOfKind(SendJobKind::OperatorLogo));
    EXPECT_EQ(outcome(), "Message send error");

    events.clear();
    line.writes.clear();
    line.closes = 0;
    line.reply(kModeReply);
    line.reply(promptReply(150));
    line.reply(kRefused);
    run(jobOfKind(SendJobKind::OperatorLogo));
    EXPECT_EQ(outcome(), "Message send error");
}

TEST_F(PhoneDialogueTest, SilenceAfterThePduTimesOutAfterFifteenRoundsAndWritesEsc) {
    line.reply(kModeReply);
    line.reply(promptReply(150));
    run(jobOfKind(SendJobKind::OperatorLogo));
    EXPECT_EQ(outcome(), "Message send timeout");
    EXPECT_EQ(count("status Waiting for acknowledgement"), 15);
    EXPECT_EQ(clock.elapsedMs, 2 * 1000 + 15 * 2000);
    ASSERT_EQ(line.writes.size(), 4u);
    EXPECT_EQ(line.writes[3], "\x1B");
    // ESC comes after the last round and before the end.
    const auto esc = std::find(events.begin(), events.end(), "write \\x1B");
    ASSERT_NE(esc, events.end());
    EXPECT_EQ(*(esc - 1), "read");
    EXPECT_EQ(*(esc + 1), "end Message send timeout");
}

TEST_F(PhoneDialogueTest, RefusedFirstPictureMessageStopsTheJob) {
    line.reply(kModeReply);
    line.reply(promptReply(150));
    line.reply(kRefused);
    line.reply(promptReply(150));
    line.reply(kAccepted);
    run(jobOfKind(SendJobKind::PictureMessage));
    EXPECT_EQ(outcome(), "Message send error");
    EXPECT_EQ(cmgsCommands().size(), 1u);
    EXPECT_EQ(count("caption Sending SMS 2/3"), 0);
}

TEST_F(PhoneDialogueTest, TimeoutOfTheFirstLargeLogoMessageStopsTheJob) {
    line.reply(kModeReply);
    line.reply(promptReply(150));
    run(jobOfKind(SendJobKind::LargeOperatorLogo));
    EXPECT_EQ(outcome(), "Message send timeout");
    EXPECT_EQ(cmgsCommands().size(), 1u);
    EXPECT_EQ(line.writes.back(), "\x1B");
}

TEST_F(PhoneDialogueTest, ZeroBytesFromThePhoneDoNotHideLaterText) {
    line.reply(std::string("AT+CMGF=0\r\0\r\nOK\r\n", 16));
    line.reply(std::string("\0> ", 3));
    line.reply(std::string("\r\n\0\0+CMGS: 1\r\n\r\nOK\r\n", 20));
    run(jobOfKind(SendJobKind::OperatorLogo));
    EXPECT_EQ(outcome(), "Logo was successfully sent");
}

TEST_F(PhoneDialogueTest, ReplyNeverOutgrowsItsBuffer) {
    line.reply(kModeReply);
    line.reply(promptReply(150));
    line.reply(std::string(1000, 'x'));
    line.reply(std::string(100, 'y'));  // only 24 of these fit
    line.reply("OK");                   // no room left for it
    run(jobOfKind(SendJobKind::OperatorLogo));
    const std::vector<std::size_t> ackReads(line.readSizes.begin() + 2, line.readSizes.end());
    ASSERT_EQ(ackReads.size(), 15u);
    EXPECT_EQ(ackReads[0], 1024u);
    EXPECT_EQ(ackReads[1], 24u);
    for (std::size_t i = 2; i < ackReads.size(); ++i) EXPECT_EQ(ackReads[i], 0u);
    EXPECT_EQ(outcome(), "Message send timeout");
}

TEST_F(PhoneDialogueTest, PortClaimingMoreThanAskedIsHeldToTheBuffer) {
    line.overclaim = 5000;
    line.reply(kModeReply);
    line.reply(promptReply(150));
    line.reply(kAccepted);
    run(jobOfKind(SendJobKind::OperatorLogo));
    EXPECT_EQ(outcome(), "Logo was successfully sent");
}

TEST_F(PhoneDialogueTest, ControlCharactersInTheAddressingNeverReachTheLine) {
    struct Case {
        const char* what;
        void (*spoil)(SendJob&);
    };
    const Case cases[] = {
        {"Ctrl-Z in the number",
         [](SendJob& j) {
             j.Number =
                 "+12\x1A"
                 "34";
         }},
        {"CR in the number", [](SendJob& j) { j.Number = "12\r\nAT+CMGD=1"; }},
        {"ESC in the country code",
         [](SendJob& j) {
             j.CountryCode =
                 "2\x1B"
                 "2";
         }},
        {"DEL in the operator code", [](SendJob& j) { j.OperatorCode = "0\x7F"; }},
        {"non-ASCII in the number", [](SendJob& j) { j.Number = "12\xC3\xA9"; }},
        // Letters would be written into the address as they are: "KO" puts
        // "OK" into the PDU text, which its echo brings back.
        {"letters for a number", [](SendJob& j) { j.Number = "KO"; }},
        {"a plus inside the number", [](SendJob& j) { j.Number = "+12+3"; }},
        {"a space in the number", [](SendJob& j) { j.Number = "+49 170"; }},
        {"letters in the country code", [](SendJob& j) { j.CountryCode = "abc"; }},
        {"letters in the operator code", [](SendJob& j) { j.OperatorCode = "xy"; }},
        {"zero byte in the number",
         [](SendJob& j) {
             j.Number = std::string(
                 "12\0"
                 "3",
                 4);
         }},
    };
    for (const Case& c : cases) {
        events.clear();
        SendJob job = jobOfKind(SendJobKind::OperatorLogo);
        c.spoil(job);
        run(job);
        EXPECT_EQ(outcome(), "Number or network code contains invalid characters") << c.what;
        EXPECT_EQ(count("open COM3:"), 0) << c.what;
        EXPECT_TRUE(line.writes.empty()) << c.what;
    }
}

TEST_F(PhoneDialogueTest, StarAndHashGoOutAsTheirSemiOctets) {
    SendJob job = jobOfKind(SendJobKind::GroupGraphic);
    job.Number = "*31#4";
    line.reply(kModeReply);
    line.reply(promptReply(149));
    line.reply(kAccepted);
    run(job);
    EXPECT_EQ(outcome(), "Logo was successfully sent");
    ASSERT_EQ(line.writes.size(), 3u);
    EXPECT_EQ(line.writes[1], "AT+CMGS=149\r\n");
    EXPECT_EQ(line.writes[2].substr(0, 16), "00510005813AB1F4");
}

TEST(SendOutcomeTest, OnlyTheTwoSuccessTextsCountAsSuccess) {
    EXPECT_TRUE(IsSuccessOutcome("Logo was successfully sent"));
    EXPECT_TRUE(IsSuccessOutcome("Picture message was successfully sent"));
    EXPECT_FALSE(IsSuccessOutcome("Message send error"));
    EXPECT_FALSE(IsSuccessOutcome(""));
}

}  // namespace
}  // namespace pelorin
