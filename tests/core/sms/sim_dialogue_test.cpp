// The dialogue with the phones people own: a SIM that wants its PIN, no SMS
// centre number, a busy SIM, other prompts and slow writes. A phone that
// behaves gets exactly the same bytes whatever of this is configured.

#include <gtest/gtest.h>

#include "dialogue_fakes.h"
#include "sms/phone_dialogue.h"
#include "sms/sim_replies.h"

namespace pelorin {
namespace {

using namespace dialogue_test;

constexpr SendJobKind kKinds[] = {SendJobKind::OperatorLogo, SendJobKind::GroupGraphic,
                                  SendJobKind::RestoreOperatorLogo, SendJobKind::PictureMessage,
                                  SendJobKind::LargeOperatorLogo};

class CountingPinSource final : public PinSource {
public:
    explicit CountingPinSource(std::optional<std::string> pin) : pin_(std::move(pin)) {}
    std::optional<std::string> pin() override {
        ++asked;
        return pin_;
    }
    void refused() override { ++refusals; }
    std::string howToGive() const override { return "give it somehow"; }
    int asked = 0;
    int refusals = 0;

private:
    std::optional<std::string> pin_;
};

// Today's bytes for a job: AT+CMGF=0, then AT+CMGS and the PDU for each part.
std::vector<std::string> plainWrites(const SendJob& job) {
    std::vector<std::string> writes{"AT+CMGF=0\r\n"};
    for (const auto& part : BuildSendParts(job)) {
        writes.push_back("AT+CMGS=" + std::to_string(part.length) + "\r\n");
        writes.push_back(part.pdu + "\x1A");
    }
    return writes;
}

class SimDialogueTest : public PhoneDialogueTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        if (GetParam()) {
            options.replyDriven = true;
            options.clock = &clock;
            line.clockMs = &clock.elapsedMs;
        }
    }
    void acceptingPhone(const SendJob& job) {
        line.reply(kModeReply);
        for (const auto& part : BuildSendParts(job)) {
            line.reply(promptReply(part.length));
            line.reply(kAccepted);
        }
    }
    CountingPinSource pin{std::string("4711")};
};

TEST_P(SimDialogueTest, APhoneThatBehavesGetsTodaysBytesWhateverIsConfigured) {
    for (const auto kind : kKinds) {
        const SendJob job = jobOfKind(kind);
        resetLine();
        acceptingPhone(job);
        run(job);
        const std::vector<std::string> plainEvents = events;
        EXPECT_EQ(line.writes, plainWrites(job));

        resetLine();
        options.pin = &pin;
        options.smsCentre = "+491722270333";
        acceptingPhone(job);
        run(job);
        EXPECT_EQ(events, plainEvents) << "the same writes, reads, waits and reports";
        EXPECT_TRUE(IsSuccessOutcome(outcome()));
        EXPECT_EQ(pin.asked, 0);
        options.pin = nullptr;
        options.smsCentre.clear();
    }
}

TEST_P(SimDialogueTest, SlowWritesSendTheSameBytesInPiecesOf18With10MsBetween) {
    for (const auto kind : kKinds) {
        const SendJob job = jobOfKind(kind);
        resetLine();
        options.slowWrites = true;
        acceptingPhone(job);
        run(job);
        std::string joined;
        for (const auto& w : line.writes) {
            EXPECT_LE(w.size(), 18u);
            joined += w;
        }
        std::string expected;
        long gaps = 0;
        for (const auto& w : plainWrites(job)) {
            expected += w;
            gaps += static_cast<long>((w.size() + 17) / 18) - 1;
        }
        EXPECT_EQ(joined, expected);
        EXPECT_EQ(count("sleep 10"), gaps);
        EXPECT_TRUE(IsSuccessOutcome(outcome()));
        if (kind == SendJobKind::PictureMessage) {
            EXPECT_EQ(gaps * 10, 350) << "what a picture message costs";
        }
    }
}

TEST_P(SimDialogueTest, PromptsWithoutSpaceOnTheirOwnLineOrAfterTheEcho) {
    const SendJob job = jobOfKind(SendJobKind::GroupGraphic);
    const std::string announce = "AT+CMGS=" + std::to_string(BuildSendParts(job)[0].length);
    struct Case {
        std::string reply;
        bool prompt;
    };
    const Case cases[] = {
        {announce + "\r\r\n>", true},
        {announce + "\r\r\n>\r\n", true},
        {announce + "> ", true},
        {announce + ">", true},
        {"\r\n  > ", true},
        {announce + "\r\r\nnote: a > b\r\n", false},
        {announce + "\r\r\nx> ", false},
        {"AT+CMGS=9> ", false},  // the echo of another command
    };
    for (const auto& c : cases) {
        resetLine();
        line.reply(kModeReply);
        line.reply(c.reply);
        line.reply(kAccepted);
        run(job);
        EXPECT_EQ(outcome(), c.prompt ? "Logo was successfully sent" : "Communication error") << escaped(c.reply);
    }
}

// One row: what the phone answers, read by read; the writes and the outcome.
struct QuirkRow {
    const char* name;
    std::vector<std::string> replies;
    std::vector<std::string> writes;  // "PDU" stands for the part's PDU and Ctrl-Z
    std::string outcome;
    std::string detail;  // empty: none
    std::string centre = "+491722270333";
    bool givesPin = true;
};

TEST_P(SimDialogueTest, EachSimConditionGetsItsAnswer) {
    const SendJob job = jobOfKind(SendJobKind::GroupGraphic);
    const int length = BuildSendParts(job)[0].length;
    const std::string cmgs = "AT+CMGS=" + std::to_string(length) + "\r\n";
    const std::string prompt = promptReply(length);
    const std::string ok = "\r\nOK\r\n";
    const std::string ready = "\r\n+CPIN: READY\r\n" + ok;
    const std::string noCentre = "\r\n+CSCA: \"\",129\r\n" + ok;
    const std::string busy = "\r\n+CME ERROR: 14\r\n";
    const std::string pinCommand = "AT+CPIN=\"4711\"\r\n";
    const std::string sent = "Logo was successfully sent";
    const std::string advice =
        "The phone has no SMS centre number: set one in Tools > Settings (your operator's, such as +491722270333)";

    std::vector<QuirkRow> rows = {
        {"PIN asked at AT+CMGS",
         {kModeReply, "\r\n+CME ERROR: 11\r\n", ok, "\r\n+CPIN: SIM PIN\r\n" + ok, ready, kModeReply, prompt,
          kAccepted},
         {"AT+CMGF=0\r\n", cmgs, pinCommand, "AT+CPIN?\r\n", "AT+CPIN?\r\n", "AT+CMGF=0\r\n", cmgs, "PDU"},
         sent,
         ""},
        {"PIN asked at AT+CMGF, verbose",
         {"\r\n+CMS ERROR: (U)SIM PIN required\r\n", ok, ready, kModeReply, prompt, kAccepted},
         {"AT+CMGF=0\r\n", pinCommand, "AT+CPIN?\r\n", "AT+CMGF=0\r\n", cmgs, "PDU"},
         sent,
         ""},
        {"PIN asked after the PDU",
         {kModeReply, prompt, "\r\n+CMS ERROR: 311\r\n", ok, ready, kModeReply, prompt, kAccepted},
         {"AT+CMGF=0\r\n", cmgs, "PDU", pinCommand, "AT+CPIN?\r\n", "AT+CMGF=0\r\n", cmgs, "PDU"},
         sent,
         ""},
        {"no PIN given",
         {kModeReply, "\r\n+CME ERROR: 11\r\n"},
         {"AT+CMGF=0\r\n", cmgs},
         "The SIM wants its PIN",
         "The SIM wants its PIN; give it somehow",
         "+491722270333",
         false},
        {"wrong PIN, tried once",
         {kModeReply, "\r\n+CME ERROR: 11\r\n", "\r\n+CME ERROR: 16\r\n"},
         {"AT+CMGF=0\r\n", cmgs, pinCommand},
         "Wrong SIM PIN",
         "The SIM refused the PIN (+CME ERROR: 16, incorrect password); it is not tried again, since three wrong "
         "PINs lock the SIM"},
        {"PUK",
         {kModeReply, "\r\n+CME ERROR: 12\r\n"},
         {"AT+CMGF=0\r\n", cmgs},
         "SIM locked",
         "The SIM is locked and asks for its PUK: unlock it in a phone first"},
        {"PUK after the PIN",
         {kModeReply, "\r\n+CME ERROR: 11\r\n", ok, "\r\n+CPIN: SIM PUK\r\n" + ok},
         {"AT+CMGF=0\r\n", cmgs, pinCommand, "AT+CPIN?\r\n"},
         "SIM locked",
         "The SIM is locked and asks for its PUK: unlock it in a phone first"},
        {"no centre number, one in the settings",
         {kModeReply, prompt, "\r\n+CMS ERROR: 330\r\n", noCentre, ok, prompt, kAccepted},
         {"AT+CMGF=0\r\n", cmgs, "PDU", "AT+CSCA?\r\n", "AT+CSCA=\"+491722270333\",145\r\n", cmgs, "PDU"},
         sent,
         ""},
        {"no centre number, a national one in the settings",
         {kModeReply, prompt, "\r\n+CMS ERROR: 330\r\n", noCentre, ok, prompt, kAccepted},
         {"AT+CMGF=0\r\n", cmgs, "PDU", "AT+CSCA?\r\n", "AT+CSCA=\"01722270333\",129\r\n", cmgs, "PDU"},
         sent,
         "",
         "01722270333"},
        {"500 right after AT+CMGS",
         {kModeReply, "\r\n+CMS ERROR: 500\r\n", noCentre, ok, prompt, kAccepted},
         {"AT+CMGF=0\r\n", cmgs, "AT+CSCA?\r\n", "AT+CSCA=\"+491722270333\",145\r\n", cmgs, "PDU"},
         sent,
         ""},
        {"no centre number anywhere",
         {kModeReply, prompt, "\r\n+CMS ERROR: 330\r\n", noCentre},
         {"AT+CMGF=0\r\n", cmgs, "PDU", "AT+CSCA?\r\n"},
         "Message send error",
         advice,
         ""},
        {"330 once more after the number was set",
         {kModeReply, prompt, "\r\n+CMS ERROR: 330\r\n", noCentre, ok, prompt, "\r\n+CMS ERROR: 330\r\n"},
         {"AT+CMGF=0\r\n", cmgs, "PDU", "AT+CSCA?\r\n", "AT+CSCA=\"+491722270333\",145\r\n", cmgs, "PDU"},
         "Message send error",
         "The phone answered +CMS ERROR: 330: SMSC address unknown (3GPP TS 27.005)"},
        {"330 from a phone that has a number",
         {kModeReply, prompt, "\r\n+CMS ERROR: 330\r\n", "\r\n+CSCA: \"+491710760000\",145\r\n" + ok},
         {"AT+CMGF=0\r\n", cmgs, "PDU", "AT+CSCA?\r\n"},
         "Message send error",
         "The phone answered +CMS ERROR: 330: SMSC address unknown (3GPP TS 27.005)"},
        {"500 after the PDU is a refusal as before",
         {kModeReply, prompt, kRefused},
         {"AT+CMGF=0\r\n", cmgs, "PDU"},
         "Message send error",
         "The phone answered +CMS ERROR: 500: unknown error (3GPP TS 27.005)"},
        {"busy SIM for two tries",
         {busy, "\r\n+CMS ERROR: 314\r\n", kModeReply, busy, prompt, kAccepted},
         {"AT+CMGF=0\r\n", "AT+CMGF=0\r\n", "AT+CMGF=0\r\n", cmgs, cmgs, "PDU"},
         sent,
         ""},
        {"busy SIM after the PDU",
         {kModeReply, prompt, "\r\n+CMS ERROR: 314\r\n", prompt, kAccepted},
         {"AT+CMGF=0\r\n", cmgs, "PDU", cmgs, "PDU"},
         sent,
         ""},
        {"an error text quoting the PIN shows it masked",
         {kModeReply, "\r\n+CME ERROR: 11\r\n", "\r\n+CME ERROR: at+cpin=\"4711\" failed\r\n"},
         {"AT+CMGF=0\r\n", cmgs, pinCommand},
         "Communication error",
         "The phone answered +CME ERROR: at+cpin=\"****\" failed (not a text of 3GPP TS 27.007)"},
    };
    QuirkRow pastTen{"busy past 10 s", std::vector<std::string>(11, busy),
                     std::vector<std::string>(11, "AT+CMGF=0\r\n"), "Communication error",
                     "The phone answered +CME ERROR: 14: SIM busy (3GPP TS 27.007)"};
    rows.push_back(pastTen);

    const std::string pdu = BuildSendParts(job)[0].pdu + "\x1A";
    for (const auto& row : rows) {
        resetLine();
        CountingPinSource source{std::string("4711")};
        options.pin = row.givesPin ? &source : nullptr;
        CountingPinSource none{std::nullopt};
        if (!row.givesPin) options.pin = &none;
        options.smsCentre = row.centre;
        for (const auto& r : row.replies) line.reply(r);
        run(job);
        std::vector<std::string> expected = row.writes;
        for (auto& w : expected)
            if (w == "PDU") w = pdu;
        EXPECT_EQ(line.writes, expected) << row.name;
        EXPECT_EQ(outcome(), row.outcome) << row.name;
        EXPECT_EQ(reporter.details,
                  row.detail.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.detail})
            << row.name;
        EXPECT_LE(source.asked + none.asked, 1) << row.name;
        EXPECT_EQ(source.refusals, row.outcome == "Wrong SIM PIN" ? 1 : 0) << row.name;
        for (const auto& e : events)
            if (e.rfind("write", 0) != 0) {
                EXPECT_EQ(e.find("4711"), std::string::npos) << row.name << ": " << e;
            }
        for (const auto& d : reporter.details) EXPECT_EQ(d.find("4711"), std::string::npos) << row.name;
        if (row.name == std::string("busy SIM for two tries")) {
            EXPECT_EQ(count("sleep 1000") - (GetParam() ? 0 : 5), 3) << "a second before each try again";
        }
        if (row.name == std::string("busy past 10 s")) {
            EXPECT_GE(clock.elapsedMs, 10'000);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, SimDialogueTest, ::testing::Values(false, true),
                         [](const auto& param) { return param.param ? "ReplyDriven" : "FixedWaits"; });

TEST(SimReplies, ConditionsPinStatesAndCentreNumbers) {
    const auto condition = [](std::string_view reply) { return simCondition(findPhoneError(reply)); };
    EXPECT_EQ(condition("\r\n+CME ERROR: 11\r\n"), SimCondition::PinRequired);
    EXPECT_EQ(condition("\r\n+CME ERROR: SIM PIN required\r\n"), SimCondition::PinRequired);
    EXPECT_EQ(condition("\r\n+CMS ERROR: 312\r\n"), SimCondition::PukRequired);
    EXPECT_EQ(condition("\r\n+CME ERROR: incorrect password\r\n"), SimCondition::WrongPin);
    EXPECT_EQ(condition("\r\n+CMS ERROR: 16\r\n"), SimCondition::None) << "16 means something else to 27.005";
    EXPECT_EQ(condition("\r\n+CME ERROR: 330\r\n"), SimCondition::None);
    EXPECT_EQ(condition("\r\nOK\r\n"), SimCondition::None);

    EXPECT_EQ(findPinState("AT+CPIN?\r\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n"), "SIM PIN");
    EXPECT_EQ(findPinState("\r\n+CPIN: READY"), std::nullopt) << "the line has not ended";
    EXPECT_EQ(findCentreNumber("\r\n+CSCA: \"+491710760000\",145\r\n"), "+491710760000");
    EXPECT_EQ(findCentreNumber("\r\n+CSCA: \"\",129\r\n"), "");
    EXPECT_EQ(findCentreNumber("\r\n+CSCA: 0172,129\r\n"), "0172");
    EXPECT_EQ(findCentreNumber("\r\n+CSCA: \"" + std::string(100, '1') + "\r\n")->size(), 24u);

    EXPECT_TRUE(IsValidPin("0000"));
    EXPECT_TRUE(IsValidPin("12345678"));
    EXPECT_FALSE(IsValidPin("123"));
    EXPECT_FALSE(IsValidPin("123456789"));
    EXPECT_FALSE(IsValidPin("12a4"));
    EXPECT_TRUE(IsValidSmsCentre("+491722270333"));
    EXPECT_TRUE(IsValidSmsCentre("0172"));
    EXPECT_FALSE(IsValidSmsCentre("+49 172"));
    EXPECT_FALSE(IsValidSmsCentre("+"));
}

}  // namespace
}  // namespace pelorin
