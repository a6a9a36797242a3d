// The simulated phone's quirks, one switch at a time, driven through the
// modem with a clock the test moves by hand.

#include <gtest/gtest.h>

#include <functional>

#include "pdu_builder.h"
#include "phone/modem.h"

namespace pelorin::phone {
namespace {

using namespace std::chrono_literals;

struct Phone {
    explicit Phone(const std::function<void(SimQuirkOptions&)>& change)
        : modem(options(change), [](auto&) { return true; }) {}

    static PhoneOptions options(const std::function<void(SimQuirkOptions&)>& change) {
        PhoneOptions result;
        result.echo = false;
        change(result.quirks);
        return result;
    }
    std::string type(std::string_view bytes) {
        modem.receive(bytes, now);
        return modem.takeOutput(now);
    }
    Modem::Clock::time_point now{};
    Modem modem;
};

using testing::operator+;

testing::Submit groupGraphic() {
    testing::Submit submit;
    submit.header = testing::portHeader(0x1583);
    submit.payload = testing::Octets{0x30} + testing::otaBitmap(72, 14, testing::Octets(126, 0x0F));
    return submit;
}

std::string groupGraphicPdu() { return groupGraphic().text(); }

std::string cmgsLine() {
    const testing::Submit submit = groupGraphic();
    // The LF after the CR belongs to the line and is not echoed.
    return "AT+CMGS=" + std::to_string(submit.length()) + "\r";
}

// Each row: the quirk, then commands typed in order with the answer each gets.
struct Exchange {
    std::string typed;
    std::string answer;
};
struct QuirkCase {
    const char* name;
    std::function<void(SimQuirkOptions&)> quirk;
    std::vector<Exchange> dialogue;
};

TEST(SimQuirks, EachSwitchChangesOnlyWhatItNames) {
    const std::string pdu = groupGraphicPdu() + "\x1A";
    const std::string accepted = "\r\n+CMGS: 1\r\n\r\nOK\r\n";
    const std::vector<QuirkCase> cases = {
        {"pin",
         [](SimQuirkOptions& q) { q.pin = "4711"; },
         {{"AT+CPIN?\r", "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n"},
          {"AT+CMGF=0\r", "\r\nOK\r\n"},
          {cmgsLine(), "\r\n+CME ERROR: 11\r\n"},
          {"AT+CPMS?\r", "\r\n+CME ERROR: 11\r\n"},
          {"AT+CPIN=\"4711\"\r", "\r\nOK\r\n"},
          {"AT+CPIN?\r", "\r\n+CPIN: READY\r\n\r\nOK\r\n"},
          {"AT+CPIN=\"4711\"\r", "\r\n+CME ERROR: 3\r\n"},
          {cmgsLine(), "\r\n> "},
          {pdu, accepted}}},
        {"three wrong PINs lock the SIM for good",
         [](SimQuirkOptions& q) { q.pin = "4711"; },
         {{"AT+CPIN=\"1111\"\r", "\r\n+CME ERROR: 16\r\n"},
          {"AT+CPIN=\"2222\"\r", "\r\n+CME ERROR: 16\r\n"},
          {"AT+CPIN?\r", "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n"},
          {"AT+CPIN=\"3333\"\r", "\r\n+CME ERROR: 16\r\n"},
          {"AT+CPIN?\r", "\r\n+CPIN: SIM PUK\r\n\r\nOK\r\n"},
          {"AT+CPIN=\"4711\"\r", "\r\n+CME ERROR: 12\r\n"},
          {cmgsLine(), "\r\n+CME ERROR: 12\r\n"}}},
        {"no SMS centre number",
         [](SimQuirkOptions& q) { q.noSmscNumber = true; },
         {{"AT+CSCA?\r", "\r\n+CSCA: \"\",129\r\n\r\nOK\r\n"},
          {cmgsLine(), "\r\n> "},
          {pdu, "\r\n+CMS ERROR: 330\r\n"},
          {"AT+CSCA=\"12x\",129\r", "\r\n+CMS ERROR: 304\r\n"},
          {"AT+CSCA=\"+491722270333\",145\r", "\r\nOK\r\n"},
          {"AT+CSCA?\r", "\r\n+CSCA: \"+491722270333\",145\r\n\r\nOK\r\n"},
          {cmgsLine(), "\r\n> "},
          {pdu, accepted}}},
        {"bare prompt", [](SimQuirkOptions& q) { q.prompt = PromptStyle::Bare; }, {{cmgsLine(), "\r\n>"}}},
        {"prompt on its own line",
         [](SimQuirkOptions& q) { q.prompt = PromptStyle::Newline; },
         {{cmgsLine(), "\r\n>\r\n"}}},
        {"model",
         [](SimQuirkOptions& q) { q.model = "SIMCOM SIM800 R14"; },
         {{"ATI\r", "\r\nSIMCOM SIM800 R14\r\n\r\nOK\r\n"},
          {"AT+CGMI\r", "\r\nSIMCOM\r\n\r\nOK\r\n"},
          {"AT+CGMM\r", "\r\nSIM800 R14\r\n\r\nOK\r\n"},
          {"AT+CGMR\r", "\r\n1.0\r\n\r\nOK\r\n"}}},
    };
    for (const auto& row : cases) {
        Phone phone(row.quirk);
        for (const auto& step : row.dialogue)
            EXPECT_EQ(phone.type(step.typed), step.answer) << row.name << ": " << step.typed;
    }
}

TEST(SimQuirks, PromptOnTheEchoLineHoldsBackTheEchoOfTheCr) {
    PhoneOptions options;
    options.quirks.prompt = PromptStyle::SameLine;
    Modem modem(options, [](auto&) { return true; });
    const Modem::Clock::time_point now{};
    modem.receive(cmgsLine() + "\n", now);
    EXPECT_EQ(modem.takeOutput(now), cmgsLine().substr(0, cmgsLine().size() - 1) + "> ");
    modem.receive(
        "\x1B"
        "AT\r",
        now);
    EXPECT_EQ(modem.takeOutput(now), "AT\r\r\nOK\r\n") << "other lines are echoed whole";
}

TEST(SimQuirks, BusySimAnswersOnlyAtUntilItsTimeIsUp) {
    Phone phone([](SimQuirkOptions& q) {
        q.simBusyFor = 3s;
        q.pin = "1234";
    });
    phone.modem.switchOn(phone.now);
    EXPECT_EQ(phone.type("AT\r"), "\r\nOK\r\n");
    EXPECT_EQ(phone.type("AT+CMGF=0\r"), "\r\n+CME ERROR: 14\r\n");
    phone.now += 2999ms;
    EXPECT_EQ(phone.type("AT+CPIN=\"1234\"\r"), "\r\n+CME ERROR: 14\r\n") << "no PIN is taken while busy";
    phone.now += 1ms;
    EXPECT_EQ(phone.type("AT+CPIN=\"1234\"\r"), "\r\nOK\r\n");
    EXPECT_EQ(phone.type("AT+CPIN?\r"), "\r\n+CME ERROR: 14\r\n") << "busy again after the PIN";
    phone.now += 3s;
    EXPECT_EQ(phone.type("AT+CPIN?\r"), "\r\n+CPIN: READY\r\n\r\nOK\r\n");
}

TEST(SimQuirks, FastLinesLoseWhatComesAfterThirtyTwoCharacters) {
    // 35 characters (the phone ignores the spaces).
    const std::string line = "AT+CSCA=            \"+491722270333\"";
    ASSERT_EQ(line.size(), 35u);
    Phone fast([](SimQuirkOptions& q) {
        q.dropsFastWrites = true;
        q.noSmscNumber = true;
    });
    EXPECT_EQ(fast.type(line + "\r"), "\r\n+CMS ERROR: 304\r\n") << "the last digits and the closing quote are lost";

    // The same line in pieces of 18, 10 ms apart, arrives whole; so does one
    // that pauses 5 ms after its 32nd character.
    Phone slow([](SimQuirkOptions& q) {
        q.dropsFastWrites = true;
        q.noSmscNumber = true;
    });
    slow.type(line.substr(0, 18));
    slow.now += 10ms;
    EXPECT_EQ(slow.type(line.substr(18) + "\r"), "\r\nOK\r\n");
    slow.type(line.substr(0, 32));
    slow.now += 5ms;
    EXPECT_EQ(slow.type(line.substr(32) + "\r"), "\r\nOK\r\n");
}

TEST(SimQuirks, TranscriptMasksThePinAcrossPieces) {
    SimQuirks quirks{SimQuirkOptions{}};
    EXPECT_EQ(quirks.masked("AT+CMGF=0\rAT+CPIN=\"12"), "AT+CMGF=0\rAT+CPIN=\"**");
    EXPECT_EQ(quirks.masked("34\"\rat+cpin=\"5678\"\r12"), "**\"\rat+cpin=\"****\"\r12");
    EXPECT_EQ(quirks.masked("AT+CP"), "AT+CP");
    EXPECT_EQ(quirks.masked("IN=\"99\"\r"), "IN=\"**\"\r");
}

}  // namespace
}  // namespace pelorin::phone
