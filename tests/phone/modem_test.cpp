#include "phone/modem.h"

#include <gtest/gtest.h>

#include <functional>

#include "pdu_builder.h"

namespace pelorin::phone {
namespace {

using namespace std::chrono_literals;
using testing::Octets;
using testing::operator+;

// A modem with a clock that the test moves by hand.
struct Harness {
    explicit Harness(PhoneOptions options = {})
        : modem(options, [this](const SubmitMessage& part) {
              delivered.push_back(part);
              return accept;
          }) {}

    std::string type(std::string_view bytes) {
        modem.receive(bytes, now);
        return modem.takeOutput(now);
    }
    std::string later(std::chrono::milliseconds wait) {
        now += wait;
        return modem.takeOutput(now);
    }

    Modem::Clock::time_point now{};
    std::vector<SubmitMessage> delivered;
    bool accept = true;
    Modem modem;
};

testing::Submit groupGraphic() {
    testing::Submit submit;
    submit.header = testing::portHeader(0x1583);
    submit.payload = Octets{0x30} + testing::otaBitmap(72, 14, Octets(126, 0x0F));
    return submit;
}

// Options built field by field (designated initialisers would have to name every field).
PhoneOptions options(bool echo = false, const std::function<void(PhoneOptions&)>& change = {}) {
    PhoneOptions result;
    result.echo = echo;
    if (change) change(result);
    return result;
}

std::string cmgs(const testing::Submit& submit) { return "AT+CMGS=" + std::to_string(submit.length()) + "\r\n"; }

TEST(Modem, EchoesCommandsAndAnswersOk) {
    Harness phone;
    EXPECT_EQ(phone.type("AT\r"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(phone.type("at+cmgf=0\r\n"), "at+cmgf=0\r\r\nOK\r\n");
    EXPECT_EQ(phone.type("\nAT\n\r"), "\nAT\n\r\r\nOK\r\n");  // a lone LF is echoed and ignored
    EXPECT_EQ(phone.type("ATE0\r"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(phone.type("AT+CMGF=0\r"), "\r\nOK\r\n");
    EXPECT_EQ(phone.type("ATE1\r"), "\r\nOK\r\n");  // typed while echo was still off
    EXPECT_EQ(phone.type("AT+CMGF?\r"), "AT+CMGF?\r\r\n+CMGF: 0\r\n\r\nOK\r\n");
}

TEST(Modem, AnswersErrorToWhatItDoesNotKnow) {
    Harness phone(options());
    EXPECT_EQ(phone.type("ATD123;\r"), "\r\nERROR\r\n");
    EXPECT_EQ(phone.type("AT+CMGF=1\r"), "\r\nERROR\r\n");
    EXPECT_EQ(phone.type("hello\r"), "\r\nERROR\r\n");
    EXPECT_EQ(phone.type("AT+CMGS=abc\r"), "\r\nERROR\r\n");
    EXPECT_EQ(phone.type("AT+CMGS=0\r"), "\r\n+CMS ERROR: 304\r\n");
    EXPECT_EQ(phone.type("AT+CMGS=256\r"), "\r\n+CMS ERROR: 304\r\n");
    EXPECT_EQ(phone.type("\r\n"), "");  // an empty line is ignored
    EXPECT_EQ(phone.type(std::string(300, 'A') + "\r"), "\r\nERROR\r\n");
    EXPECT_EQ(phone.type("AX\bT\r"), "\r\nOK\r\n");  // backspace edits the line
    EXPECT_EQ(phone.type("\x1A\x1B"
                         "AT\r"),
              "\r\nOK\r\n");  // Ctrl-Z and ESC mean nothing here
}

TEST(Modem, TakesAPduAfterThePromptAndAcknowledgesIt) {
    Harness phone;
    const auto submit = groupGraphic();
    EXPECT_EQ(phone.type(cmgs(submit)), cmgs(submit).substr(0, cmgs(submit).size() - 1) + "\r\n> ");
    EXPECT_TRUE(phone.modem.inPduEntry());
    EXPECT_EQ(phone.type(submit.text() + "\x1A"), submit.text() + "\r\n+CMGS: 1\r\n\r\nOK\r\n");
    ASSERT_EQ(phone.delivered.size(), 1u);
    EXPECT_EQ(phone.delivered[0].destinationPort, 0x1583);

    // The reference counts up; the PDU may arrive in pieces.
    phone.type(cmgs(submit));
    const std::string text = submit.text();
    phone.type(text.substr(0, 100));
    EXPECT_EQ(phone.type(text.substr(100) + "\x1A"), text.substr(100) + "\r\n+CMGS: 2\r\n\r\nOK\r\n");
    EXPECT_EQ(phone.modem.partsReceived(), 2u);
}

TEST(Modem, RefusesBadPdusWithCmsError304) {
    Harness phone(options());
    const auto submit = groupGraphic();
    const std::string text = submit.text();
    const auto answer = [&](const std::string& length, const std::string& pdu) {
        phone.type("AT+CMGS=" + length + "\r");
        return phone.type(pdu + "\x1A");
    };
    const std::string refused = "\r\n+CMS ERROR: 304\r\n";
    EXPECT_EQ(answer(std::to_string(submit.length() - 1), text), refused);
    EXPECT_EQ(answer(std::to_string(submit.length()), text.substr(1)), refused);
    EXPECT_EQ(answer(std::to_string(submit.length()), text.substr(0, 20) + "G" + text.substr(21)), refused);
    EXPECT_EQ(answer("5", "0001000000"), refused);              // cut short
    EXPECT_EQ(answer("200", std::string(2000, '0')), refused);  // longer than any PDU
    EXPECT_EQ(phone.delivered.size(), 0u);
    EXPECT_EQ(answer(std::to_string(submit.length()), text), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
}

TEST(Modem, EscAbandonsThePduSilently) {
    Harness phone(options());
    const auto submit = groupGraphic();
    EXPECT_EQ(phone.type(cmgs(submit)), "\r\n> ");
    EXPECT_EQ(phone.type(submit.text().substr(0, 50) + "\x1B"), "");
    EXPECT_FALSE(phone.modem.inPduEntry());
    EXPECT_EQ(phone.type("AT\r"), "\r\nOK\r\n");
    EXPECT_TRUE(phone.delivered.empty());
}

TEST(Modem, AnswersCmsError500WhenThePartCannotBeKept) {
    Harness phone(options());
    phone.accept = false;
    const auto submit = groupGraphic();
    phone.type(cmgs(submit));
    EXPECT_EQ(phone.type(submit.text() + "\x1A"), "\r\n+CMS ERROR: 500\r\n");
}

TEST(Modem, FaultsNoEchoCmgfErrorAndNoPrompt) {
    Harness noEcho(options());
    EXPECT_EQ(noEcho.type("AT+CMGF=0\r\n"), "\r\nOK\r\n");

    Harness cmgfError(options(true, [](auto& o) { o.cmgfError = true; }));
    EXPECT_EQ(cmgfError.type("AT+CMGF=0\r"), "AT+CMGF=0\r\r\nERROR\r\n");
    EXPECT_EQ(cmgfError.type("AT\r"), "AT\r\r\nOK\r\n");

    Harness noPrompt(options(false, [](auto& o) { o.noPrompt = true; }));
    const auto submit = groupGraphic();
    EXPECT_EQ(noPrompt.type(cmgs(submit)), "");
    EXPECT_FALSE(noPrompt.modem.inPduEntry());
    EXPECT_EQ(noPrompt.type("AT\r"), "\r\nOK\r\n");
}

TEST(Modem, FaultsAfterThePduCanAimAtOnePart) {
    const auto submit = groupGraphic();
    const std::string ok1 = "\r\n+CMGS: 1\r\n\r\nOK\r\n";
    Harness errorOnSecond(options(false, [](auto& o) { o.pduError = {true, 2}; }));
    const auto send = [&](Harness& phone) {
        phone.type(cmgs(submit));
        return phone.type(submit.text() + "\x1A");
    };
    EXPECT_EQ(send(errorOnSecond), ok1);
    EXPECT_EQ(send(errorOnSecond), "\r\nERROR\r\n");
    EXPECT_EQ(send(errorOnSecond), "\r\n+CMGS: 2\r\n\r\nOK\r\n");
    EXPECT_EQ(errorOnSecond.delivered.size(), 2u);

    Harness errorAlways(options(false, [](auto& o) { o.pduError = {true, 0}; }));
    EXPECT_EQ(send(errorAlways), "\r\nERROR\r\n");
    EXPECT_EQ(send(errorAlways), "\r\nERROR\r\n");
    EXPECT_TRUE(errorAlways.delivered.empty());

    Harness silentFirst(options(false, [](auto& o) { o.silentAfterPdu = {true, 1}; }));
    EXPECT_EQ(send(silentFirst), "");
    EXPECT_EQ(silentFirst.later(60s), "");
    EXPECT_EQ(silentFirst.type("\x1B"
                               "AT\r"),
              "\r\nOK\r\n");
    EXPECT_EQ(send(silentFirst), ok1);
}

TEST(Modem, OkInPiecesHoldsBackTheK) {
    Harness phone(options(false, [](auto& o) {
        o.okInPieces = true;
        o.pieceDelay = 3000ms;
    }));
    const auto submit = groupGraphic();
    EXPECT_EQ(phone.type("AT+CMGF=0\r"), "\r\nOK\r\n");  // only the PDU answer is split
    phone.type(cmgs(submit));
    EXPECT_EQ(phone.type(submit.text() + "\x1A"), "\r\n+CMGS: 1\r\n\r\nO");
    EXPECT_TRUE(phone.modem.hasPendingOutput());
    EXPECT_EQ(phone.modem.nextDue(), phone.now + 3000ms);
    EXPECT_EQ(phone.later(2999ms), "");
    EXPECT_EQ(phone.later(1ms), "K\r\n");
    EXPECT_FALSE(phone.modem.hasPendingOutput());
}

TEST(Modem, HangsUpWhenTheNamedPartArrives) {
    Harness phone(options(false, [](auto& o) { o.hangUpAfter = 2; }));
    const auto submit = groupGraphic();
    phone.type(cmgs(submit));
    EXPECT_EQ(phone.type(submit.text() + "\x1A"), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
    EXPECT_FALSE(phone.modem.hangUpRequested());
    phone.type(cmgs(submit));
    EXPECT_EQ(phone.type(submit.text() + "\x1A"
                                         "AT\r"),
              "");
    EXPECT_TRUE(phone.modem.hangUpRequested());
    EXPECT_EQ(phone.delivered.size(), 1u);
}

TEST(Modem, AnswersTheStandardCommandsOtherProgramsAsk) {
    Harness phone(options(false, [](auto& o) { o.network = "26202"; }));
    const std::string ok = "\r\nOK\r\n";
    EXPECT_EQ(phone.type("AT+CGMI\r"), "\r\nPelorin\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CGMM\r"), "\r\nPelorin simulated phone\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CGMR\r"), "\r\n1.0\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CGSN\r"), "\r\n490154203237518\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CPIN?\r"), "\r\n+CPIN: READY\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CSQ\r"), "\r\n+CSQ: 20,99\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CSCA?\r"), "\r\n+CSCA: \"+491710760000\",145\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CSMS=0\r"), "\r\n+CSMS: 1,1,1\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CPMS=\"ME\",\"ME\"\r"), "\r\n+CPMS: 0,10,0,10,0,250\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CPMS=\"SM\"\r"), "\r\n+CPMS: 0,250,0,10,0,250\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CPMS=\"XX\"\r"), "\r\nERROR\r\n");
    EXPECT_EQ(phone.type("AT+CNMI=2,1,0,0,0\r"), ok);
    EXPECT_EQ(phone.type("AT+CNMI?\r"), "\r\n+CNMI: 2,1,0,0,0\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CMGF=?\r"), "\r\n+CMGF: (0)\r\n" + ok);

    EXPECT_EQ(phone.type("AT+CSCS=\"UCS2\"\r"), ok);
    EXPECT_EQ(phone.type("AT+CSCS?\r"), "\r\n+CSCS: \"UCS2\"\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CSCS=\"KOI8\"\r"), "\r\nERROR\r\n");

    // The network in the format AT+COPS=3,n chose.
    EXPECT_EQ(phone.type("AT+COPS?\r"), "\r\n+COPS: 0,0,\"262 02\"\r\n" + ok);
    EXPECT_EQ(phone.type("AT+COPS=3,2\r"), ok);
    EXPECT_EQ(phone.type("AT+COPS?\r"), "\r\n+COPS: 0,2,\"26202\"\r\n" + ok);
    EXPECT_EQ(phone.type("AT+COPS=4\r"), "\r\nERROR\r\n");

    // ATZ goes back to the settings at switch-on.
    EXPECT_EQ(phone.type("ATZ\r"), ok);
    EXPECT_EQ(phone.type("AT+CSCS?\r"), "\r\n+CSCS: \"GSM\"\r\n" + ok);
    EXPECT_EQ(phone.type("AT+COPS?\r"), "\r\n+COPS: 0,0,\"262 02\"\r\n" + ok);

    Harness unregistered(options());
    EXPECT_EQ(unregistered.type("AT+COPS?\r"), "\r\n+COPS: 0\r\n" + ok);
    EXPECT_EQ(unregistered.type("AT+CREG?\r"), "\r\n+CREG: 0,0\r\n" + ok);
}

TEST(Modem, CmeeChoosesTheFormOfErrors) {
    Harness phone(options(true));
    EXPECT_EQ(phone.type("AT+CMEE?\r"), "AT+CMEE?\r\r\n+CMEE: 0\r\n\r\nOK\r\n");
    EXPECT_EQ(phone.type("AT+CMEE=1\r"), "AT+CMEE=1\r\r\nOK\r\n");
    EXPECT_EQ(phone.type("AT+CGATT=1\r"), "AT+CGATT=1\r\r\n+CME ERROR: 4\r\n");
    EXPECT_EQ(phone.type("AT+CMGF=1\r"), "AT+CMGF=1\r\r\n+CME ERROR: 4\r\n");
    EXPECT_EQ(phone.type("AT+CMEE=2\r"), "AT+CMEE=2\r\r\nOK\r\n");
    EXPECT_EQ(phone.type("AT+CGATT=1\r"), "AT+CGATT=1\r\r\n+CME ERROR: operation not supported\r\n");
    EXPECT_EQ(phone.type("AT+CMEE=3\r"), "AT+CMEE=3\r\r\n+CME ERROR: operation not supported\r\n");
    // Echo off is honoured for the standard commands too.
    EXPECT_EQ(phone.type("ATE0\r"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(phone.type("ATI\r"), "\r\nPelorin simulated phone\r\n\r\nOK\r\n");
    EXPECT_EQ(phone.type("ATZ\r"), "\r\nOK\r\n");
    EXPECT_EQ(phone.type("AT+CGATT=1\r"), "AT+CGATT=1\r\r\nERROR\r\n") << "ATZ: echo on and plain ERROR again";
}

TEST(Modem, ChainsCommandsWithOneFinalResultAndStopsAtTheFirstFailure) {
    Harness phone(options(true, [](auto& o) { o.network = "26202"; }));
    EXPECT_EQ(phone.type("AT+CMEE=1;+CREG=2\r"), "AT+CMEE=1;+CREG=2\r\r\nOK\r\n");
    EXPECT_EQ(phone.type("AT+CREG?;+CGREG?;+CGATT?\r"),
              "AT+CREG?;+CGREG?;+CGATT?\r\r\n+CREG: 2,1,\"1A2B\",\"00C3D4E5\"\r\n\r\n+CGREG: 0,1\r\n"
              "\r\n+CGATT: 1\r\n\r\nOK\r\n");
    // The failing command's error ends the line: the CREG=0 behind it is not run.
    EXPECT_EQ(phone.type("ATE0;+CSQ;+XYZ;+CREG=0\r"),
              "ATE0;+CSQ;+XYZ;+CREG=0\r\r\n+CSQ: 20,99\r\n\r\n+CME ERROR: 4\r\n");
    EXPECT_EQ(phone.type("AT+CREG?\r"), "\r\n+CREG: 2,1,\"1A2B\",\"00C3D4E5\"\r\n\r\nOK\r\n");
    EXPECT_EQ(phone.type("AT;;\r"), "\r\nOK\r\n");
    EXPECT_EQ(phone.type("AT+CSCA?;+CMGS=5\r"), "\r\n+CSCA: \"+491710760000\",145\r\n\r\n> ");
    EXPECT_TRUE(phone.modem.inPduEntry());
}

TEST(Modem, AnswersRegistrationSubscriberAndRadioQueriesInEachMode) {
    const std::string ok = "\r\nOK\r\n";
    auto reply = [&ok](const std::string& line) { return "\r\n" + line + "\r\n" + ok; };
    Harness phone(options(false, [](auto& o) { o.network = "310410"; }));
    for (const std::string name : {"+CREG", "+CGREG"}) {
        EXPECT_EQ(phone.type("AT" + name + "=?\r"), reply(name + ": (0-2)"));
        EXPECT_EQ(phone.type("AT" + name + "?\r"), reply(name + ": 0,1"));
        EXPECT_EQ(phone.type("AT" + name + "=1\r"), ok);
        EXPECT_EQ(phone.type("AT" + name + "?\r"), reply(name + ": 1,1"));
        EXPECT_EQ(phone.type("AT" + name + "=2\r"), ok);
        EXPECT_EQ(phone.type("AT" + name + "?\r"), reply(name + ": 2,1,\"1A2B\",\"00C3D4E5\""));
        EXPECT_EQ(phone.type("AT" + name + "=3\r"), "\r\nERROR\r\n");
    }
    EXPECT_EQ(phone.type("AT+CIMI\r"), reply("310410012345678"));
    EXPECT_EQ(phone.type("AT+CFUN=1\r"), ok);
    EXPECT_EQ(phone.type("AT+CFUN?\r"), reply("+CFUN: 1"));
    EXPECT_EQ(phone.type("AT+CFUN=0\r"), "\r\nERROR\r\n");
    EXPECT_EQ(phone.type("AT+CLIP=1\r"), ok);
    EXPECT_EQ(phone.type("AT+CLIP?\r"), reply("+CLIP: 1,1"));
    EXPECT_EQ(phone.type("AT+CNUM\r"), reply("+CNUM: \"\",\"+491701234567\",145"));
    EXPECT_EQ(phone.type("AT+CHUP=?\r"), ok);
    EXPECT_EQ(phone.type("ATZ\r"), ok);
    EXPECT_EQ(phone.type("AT+CGREG?;+CLIP?\r"), "\r\n+CGREG: 0,1\r\n\r\n+CLIP: 0,1\r\n" + ok);

    Harness unregistered(options(false, [](auto& o) { o.ownNumber = "0170555"; }));
    EXPECT_EQ(unregistered.type("AT+CREG=2;+CREG?\r"), reply("+CREG: 2,0"));
    EXPECT_EQ(unregistered.type("AT+CGATT?\r"), reply("+CGATT: 0"));
    EXPECT_EQ(unregistered.type("AT+CIMI\r"), reply("001010123456789"));
    EXPECT_EQ(unregistered.type("AT+CNUM\r"), reply("+CNUM: \"\",\"0170555\",129"));
}

// Two received messages: the first unread, the second read.
std::vector<StoredMessage> twoMessages() {
    auto parsed = parseInboxText("# inbox\n0011AA\n\n 1,07911111111111F1 0022BBCC \n");
    EXPECT_FALSE(parsed) << "a blank inside the PDU is refused";
    parsed = parseInboxText("# inbox\n0011AA\r\n\n1,07911111111111F10022BBCC\n");
    EXPECT_TRUE(parsed) << parsed.error();
    return parsed ? parsed.value() : std::vector<StoredMessage>{};
}

TEST(Modem, ListsReadsAndDeletesTheInboxInPduMode) {
    Harness phone(options(false, [](auto& o) { o.inbox = twoMessages(); }));
    const std::string ok = "\r\nOK\r\n";
    const std::string first = "\r\n+CMGL: 1,0,,2\r\n0011AA";
    const std::string second = "+CMGL: 2,1,,4\r\n07911111111111F10022BBCC";
    EXPECT_EQ(phone.type("AT+CPMS?\r"), "\r\n+CPMS: \"SM\",2,250,\"SM\",2,250,\"SM\",2,250\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CMGL=0\r"), first + "\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CMGL\r"), ok) << "listing made the unread message read";
    EXPECT_EQ(phone.type("AT+CMGL=4\r"), "\r\n+CMGL: 1,1,,2\r\n0011AA\r\n" + second + "\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CMGL=5\r"), "\r\n+CMS ERROR: 304\r\n");
    EXPECT_EQ(phone.type("AT+CMGR=2\r"), "\r\n+CMGR: 1,,4\r\n07911111111111F10022BBCC\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CMGR=3\r"), "\r\n+CMS ERROR: 321\r\n");
    EXPECT_EQ(phone.type("AT+CMGD=?\r"), "\r\n+CMGD: (1,2),(0-4)\r\n" + ok);
    // "MT" reaches the same messages, "ME" none.
    EXPECT_EQ(phone.type("AT+CPMS=\"MT\"\r"), "\r\n+CPMS: 2,260,2,250,2,250\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CMGR=1\r"), "\r\n+CMGR: 1,,2\r\n0011AA\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CPMS=\"ME\"\r"), "\r\n+CPMS: 0,10,2,250,2,250\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CMGL=4;+CMGD=1\r"), "\r\n+CMS ERROR: 321\r\n");
    EXPECT_EQ(phone.type("AT+CPMS=\"SM\";+CMGD=1;+CMGD=1\r"),
              "\r\n+CPMS: 2,250,2,250,2,250\r\n\r\n+CMS ERROR: 321\r\n");
    EXPECT_EQ(phone.type("AT+CMGD=0,4;+CPMS?\r"), "\r\n+CPMS: \"SM\",0,250,\"SM\",0,250,\"SM\",0,250\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CMGD=1,5\r"), "\r\n+CMS ERROR: 304\r\n");
}

TEST(Modem, DeleteFlagsChooseByStatus) {
    auto inbox = parseInboxText("0,0011AA\n1,0011AA\n2,0011AA\n3,0011AA\n0,0011AA\n");
    ASSERT_TRUE(inbox) << inbox.error();
    Harness phone(options(false, [&inbox](auto& o) { o.inbox = inbox.value(); }));
    const std::string ok = "\r\nOK\r\n";
    EXPECT_EQ(phone.type("AT+CMGD=1,1;+CMGD=?\r"), "\r\n+CMGD: (1,3,4,5),(0-4)\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CMGD=1,2;+CMGD=?\r"), "\r\n+CMGD: (1,3,5),(0-4)\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CMGD=1,3;+CMGD=?\r"), "\r\n+CMGD: (1,5),(0-4)\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CMGR=5;+CMGD=1,1;+CMGD=?\r"),
              "\r\n+CMGR: 0,,2\r\n0011AA\r\n\r\n+CMGD: (1),(0-4)\r\n" + ok);
}

TEST(Modem, InboxFileLinesAreCheckedOneByOne) {
    for (const char* bad : {"0011A", "0011AG", "9,0011AA", "x,0011AA", "05112233", "00", ","}) {
        const auto parsed = parseInboxText(std::string("0011AA\n") + bad + "\n");
        ASSERT_FALSE(parsed) << bad;
        EXPECT_EQ(parsed.error().rfind("line 2: ", 0), 0u) << parsed.error();
    }
}

TEST(Modem, EchoToInboxFilesEachAcceptedPartAsReceivedFromItsOwnNumber) {
    Harness phone(options(false, [](auto& o) {
        o.echoToInbox = true;
        o.ownNumber = "+4912345";
    }));
    const testing::Submit submit = groupGraphic();
    phone.type(cmgs(submit));
    EXPECT_EQ(phone.type(submit.text() + "\x1A"), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
    const std::string listing = phone.type("AT+CMGL=4\r");
    const std::string header = "\r\n+CMGL: 1,0,,";
    ASSERT_EQ(listing.rfind(header, 0), 0u) << listing;
    const std::size_t lineEnd = listing.find("\r\n", header.size());
    const std::string pdu = listing.substr(lineEnd + 2, listing.size() - lineEnd - 2 - 8);
    const testing::Octets tpdu = submit.tpdu();
    const std::string userData =
        testing::hexOf(testing::Octets(tpdu.end() - 139, tpdu.end()));  // UDL 8A and 138 octets
    // Service centre, SMS-DELIVER with the header flag, +4912345, PID, DCS, time stamp, user data as sent.
    ASSERT_EQ(pdu.size(), 16u + 2 + 12 + 4 + 14 + userData.size()) << pdu;
    EXPECT_EQ(pdu.substr(0, 34), "0791947101670000440791942143F500F5");
    EXPECT_EQ(pdu.substr(48 - 2, 2), "00") << "time zone";
    EXPECT_EQ(pdu.substr(48), userData);
    EXPECT_EQ(listing.substr(header.size(), lineEnd - header.size()), std::to_string(pdu.size() / 2 - 8));
}

TEST(Modem, FactoryDefaultsActivityAndTheQuestionsOfSetUps) {
    const std::string ok = "\r\nOK\r\n";
    for (const char* reset : {"ATZ", "AT&F", "AT&F0"}) {
        Harness phone(options(true));
        EXPECT_EQ(phone.type("ATE0;+CMEE=1;+CNMI=2,1,0,0,0;+IFC=0,0\r"),
                  "ATE0;+CMEE=1;+CNMI=2,1,0,0,0;+IFC=0,0\r" + ok);
        EXPECT_EQ(phone.type(std::string(reset) + "\r"), ok) << reset;
        EXPECT_EQ(phone.type("AT+CNMI?;+IFC?\r"), "AT+CNMI?;+IFC?\r\r\n+CNMI: 0,0,0,0,0\r\n\r\n+IFC: 2,2\r\n" + ok)
            << reset;
        EXPECT_EQ(phone.type("AT+XYZ\r"), "AT+XYZ\r\r\nERROR\r\n") << reset;
    }
    Harness phone(options());
    EXPECT_EQ(phone.type("AT&F1\r"), "\r\nERROR\r\n");
    EXPECT_EQ(phone.type("AT+CPAS\r"), "\r\n+CPAS: 0\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CPAS=?\r"), "\r\n+CPAS: (0-5)\r\n" + ok);
    EXPECT_EQ(phone.type("AT+CMGS=?\r"), ok);
    EXPECT_FALSE(phone.modem.inPduEntry());
    EXPECT_EQ(phone.type("AT+IFC=?\r"), "\r\n+IFC: (0-2),(0-2)\r\n" + ok);
    EXPECT_EQ(phone.type("AT+IFC=3,0\r"), "\r\nERROR\r\n");
}

// A received message from +4912345 with the data coding given: "Hi" in
// GSM 7-bit, or two octets.
StoredMessage deliverWithCoding(std::uint8_t coding) {
    auto parsed = parseInboxLine("00040791942143F500" + testing::hexOf({coding}) + "6221707154004002C834");
    EXPECT_TRUE(parsed && parsed.value());
    return parsed && parsed.value() ? *parsed.value() : StoredMessage{};
}

TEST(Modem, AnnouncesNewMessagesAsCnmiAsks) {
    struct Case {
        const char* cnmi;  // nothing: never set
        std::uint8_t coding;
        std::string said;
        std::size_t filed;
    };
    const std::string cmti = "\r\n+CMTI: \"SM\",3\r\n";
    const auto cmt = [](std::uint8_t coding) {
        return "\r\n+CMT: ,19\r\n00040791942143F500" + testing::hexOf({coding}) + "6221707154004002C834\r\n";
    };
    const std::vector<Case> cases = {
        {nullptr, 0xF5, "", 3},             // nothing before any AT+CNMI
        {"0,1,0,0,0", 0xF5, "", 3},         // mode 0 keeps them in the phone
        {"1,0,0,0,0", 0xF5, "", 3},         // no indication asked for
        {"1,1,0,0,0", 0xF5, cmti, 3},       // stored and indicated
        {"2,1", 0x00, cmti, 3},             // missing values are 0
        {"3,1,0,0,0", 0xF6, cmti, 3},       // class 2 is stored in any case
        {"2,2,0,0,0", 0xF5, cmt(0xF5), 2},  // class 1 handed over, not kept
        {"1,2,0,1,0", 0x00, cmt(0x00), 2},  // no class: handed over
        {"2,2,0,0,0", 0x12, cmti, 3},       // class 2 of the general coding
        {"2,3,0,0,0", 0xF7, cmt(0xF7), 2},  // class 3 with mt 3
        {"2,3,0,0,0", 0xF5, cmti, 3},       // only class 3 with mt 3
    };
    for (const auto& c : cases) {
        Harness phone(options(false, [](auto& o) { o.inbox = twoMessages(); }));
        const std::string label = c.cnmi == nullptr ? std::string("none") : c.cnmi;
        if (c.cnmi != nullptr) {
            ASSERT_EQ(phone.type("AT+CNMI=" + std::string(c.cnmi) + "\r"), "\r\nOK\r\n");
        }
        EXPECT_TRUE(phone.modem.receiveMessage(deliverWithCoding(c.coding), phone.now)) << label;
        EXPECT_EQ(phone.modem.takeOutput(phone.now), c.said) << label;
        EXPECT_EQ(phone.modem.inboxSize(), c.filed) << label;
    }
}

TEST(Modem, HoldsAnnouncementsUntilNoLinePduOrAnswerIsUnderWay) {
    Harness phone(options(false, [](auto& o) {
        o.okInPieces = true;
        o.pieceDelay = 1000ms;
    }));
    const std::string cmti = "\r\n+CMTI: \"SM\",1\r\n";
    phone.type("AT+CNMI=2,1,0,0,0\r");
    // A command line half typed: the announcement waits for its answer.
    phone.type("AT+C");
    phone.modem.receiveMessage(deliverWithCoding(0xF5), phone.now);
    EXPECT_EQ(phone.modem.takeOutput(phone.now), "");
    EXPECT_EQ(phone.type("SQ\r"), "\r\n+CSQ: 20,99\r\n\r\nOK\r\n" + cmti);

    // During PDU entry, and behind an answer that comes in pieces.
    const auto submit = groupGraphic();
    EXPECT_EQ(phone.type(cmgs(submit)), "\r\n> ");
    phone.modem.receiveMessage(deliverWithCoding(0xF5), phone.now);
    EXPECT_EQ(phone.modem.takeOutput(phone.now), "");
    EXPECT_EQ(phone.type(submit.text() + "\x1A"), "\r\n+CMGS: 1\r\n\r\nO");
    EXPECT_EQ(phone.later(1000ms), "K\r\n\r\n+CMTI: \"SM\",2\r\n");

    // ESC ends PDU entry too; a full inbox says so and announces nothing.
    EXPECT_EQ(phone.type(cmgs(submit)), "\r\n> ");
    for (unsigned i = 3; i <= Inbox::kSimCapacity; ++i) phone.modem.receiveMessage(deliverWithCoding(0xF5), phone.now);
    EXPECT_FALSE(phone.modem.receiveMessage(deliverWithCoding(0xF5), phone.now));
    const std::string held = phone.type("\x1B");
    EXPECT_EQ(held.rfind("\r\n+CMTI: \"SM\",3\r\n", 0), 0u);
    EXPECT_NE(held.find("\r\n+CMTI: \"SM\",250\r\n"), std::string::npos);
    EXPECT_EQ(held.find("+CMTI: \"SM\",251"), std::string::npos);
}

TEST(Modem, EchoToInboxAnnouncesThePartAfterItsAnswer) {
    Harness phone(options(false, [](auto& o) { o.echoToInbox = true; }));
    const auto submit = groupGraphic();
    phone.type("AT+CNMI=1,1,0,0,0\r");
    phone.type(cmgs(submit));
    EXPECT_EQ(phone.type(submit.text() + "\x1A"), "\r\n+CMGS: 1\r\n\r\nOK\r\n\r\n+CMTI: \"SM\",1\r\n");
    // Direct delivery: the part comes back at once and is not kept.
    phone.type("AT+CNMI=2,2,0,0,0\r");
    phone.type(cmgs(submit));
    const std::string answer = phone.type(submit.text() + "\x1A");
    const std::string cmt = "\r\n+CMGS: 2\r\n\r\nOK\r\n\r\n+CMT: ,";
    ASSERT_EQ(answer.rfind(cmt, 0), 0u) << answer;
    const Octets tpdu = submit.tpdu();
    EXPECT_NE(answer.find(testing::hexOf(Octets(tpdu.end() - 139, tpdu.end())) + "\r\n"), std::string::npos);
    EXPECT_EQ(phone.modem.inboxSize(), 1u);
}

TEST(Modem, InboxLinesAreBoundedBeforeTheyAreDecoded) {
    // A service-centre field of 12 octets and a 164-octet SMS-DELIVER: the longest there is.
    const std::string longest = "0B91" + std::string(20, '1') + "04" + std::string(2 * 163, 'A');
    ASSERT_EQ(longest.size(), 2 * kMaxPduOctets);
    EXPECT_TRUE(parseInboxLine(longest));
    EXPECT_TRUE(parseInboxLine("1," + longest + " \r"));
    for (const std::string& bad : {longest + "AA", "1," + longest + "00", std::string(100'000, 'A')}) {
        const auto parsed = parseInboxText("0011AA\n" + bad + "\n");
        ASSERT_FALSE(parsed);
        EXPECT_EQ(parsed.error(), "line 2: longer than an SMS can be (176 octets)");
    }

    InboxLineReader reader;
    EXPECT_TRUE(reader.add("# a comment\n0011").size() == 1);
    auto lines = reader.add("AA\n" + std::string(5000, '0') + "\n1,00\n0,0011BB");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].number, 2u);
    ASSERT_TRUE(lines[0].message && lines[0].message.value());
    EXPECT_EQ(lines[0].message.value()->pdu, (std::vector<std::uint8_t>{0x00, 0x11, 0xAA}));
    EXPECT_EQ(lines[1].message.error(), "longer than 1024 characters");
    EXPECT_EQ(lines[2].message.error(), "nothing after the service-centre field");
    lines = reader.add("\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].number, 5u);
    EXPECT_EQ(lines[0].message.value()->status, MessageStatus::ReceivedUnread);
}

TEST(Modem, OneLineOfChainedListingsIsBounded) {
    const std::string longest = "0B91" + std::string(20, '1') + "04" + std::string(2 * 163, 'A');
    std::string file;
    for (unsigned i = 0; i < Inbox::kSimCapacity; ++i) file += longest + "\n";
    auto inbox = parseInboxText(file);
    ASSERT_TRUE(inbox) << inbox.error();
    Harness phone(options(false, [&inbox](auto& o) { o.inbox = inbox.value(); }));
    phone.type("AT+CMGL=4\r");  // all of them read from now on
    const std::string one = phone.type("AT+CMGL=4\r");
    EXPECT_GT(one.size(), 90'000u);
    std::string line = "AT";
    for (int i = 0; i < 31; ++i) line += "+CMGL=4;";
    const std::string chained = phone.type(line + "\r");
    EXPECT_LE(chained.size(), Modem::kMaxLineAnswer + one.size());
    EXPECT_EQ(chained.substr(chained.size() - 9), "\r\nERROR\r\n");
    EXPECT_EQ(chained.rfind(one.substr(0, one.size() - 6), 0), 0u);
}

}  // namespace
}  // namespace pelorin::phone
