// pelorin-cli against a pelorin-phone with one quirk of the phones people
// own switched on at a time, and a phone without quirks that must see exactly
// today's bytes whatever is configured.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <future>

#include "support/answering_pty.h"
#include "support/phone_process.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

namespace pelorin {
namespace {

using testing::runProcess;

constexpr const char* kPin = "4711";

// The send's output lines after "Opening COM port", and the transcript.
struct Send {
    testing::ProcessResult result;
    std::string transcript;
    std::string log;
    std::string lastLines(std::size_t n) const {
        std::size_t at = result.out.size();
        for (std::size_t i = 0; i <= n && at != std::string::npos && at > 0; ++i) at = result.out.rfind('\n', at - 1);
        return at == std::string::npos ? result.out : result.out.substr(at + 1);
    }
};

// Runs one send through env (so that PELORIN_PIN is exactly as given) to a
// fresh phone with the given switches.
Send sendTo(const std::vector<std::string>& phoneSwitches, const std::vector<std::string>& environment,
            std::vector<std::string> sendArguments, const std::string& kind = "group-graphic") {
    testing::TemporaryFolder folder("pelorin-quirks");
    std::vector<std::string> switches{"--quiet", "--store", folder.file("store"), "--transcript",
                                      folder.file("transcript")};
    switches.insert(switches.end(), phoneSwitches.begin(), phoneSwitches.end());
    testing::PhoneProcess phone(PELORIN_PHONE_PATH, switches);
    Send send;
    if (!phone.started()) return send;
    std::vector<std::string> args{"-u", "PELORIN_PIN"};
    args.insert(args.end(), environment.begin(), environment.end());
    args.insert(args.end(), {PELORIN_CLI_PATH, "send", kind, "--to", "+123", "--port", phone.devicePath(), "--log",
                             folder.file("line.log")});
    args.insert(args.end(), sendArguments.begin(), sendArguments.end());
    send.result = runProcess("/usr/bin/env", args);
    send.transcript = testing::readFileText(folder.file("transcript"));
    send.log = testing::readFileText(folder.file("line.log"));
    return send;
}

long occurrences(const std::string& text, const std::string& what) {
    long n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

struct QuirkCase {
    const char* name;
    std::vector<std::string> phone;
    std::vector<std::string> environment;
    std::vector<std::string> send;
    std::string lastLines;  // the failure detail (if any) and the outcome
};

TEST(ModemQuirksCli, EachQuirkEndsWellOrWithItsMessage) {
    const std::string sent = "Logo was successfully sent\n";
    const std::vector<QuirkCase> cases = {
        {"PIN from PELORIN_PIN", {"--pin", kPin}, {std::string("PELORIN_PIN=") + kPin}, {"--fast"}, sent},
        {"PIN with fixed waits", {"--pin", kPin}, {std::string("PELORIN_PIN=") + kPin}, {}, sent},
        {"no PIN given",
         {"--pin", kPin},
         {},
         {"--fast"},
         "The SIM wants its PIN; give it in PELORIN_PIN or --pin-file FILE\nThe SIM wants its PIN\n"},
        {"wrong PIN",
         {"--pin", kPin},
         {"PELORIN_PIN=1111"},
         {"--fast"},
         "The SIM refused the PIN (+CME ERROR: 16, incorrect password); it is not tried again, since three wrong PINs "
         "lock the SIM\nWrong SIM PIN\n"},
        {"centre number given", {"--no-smsc-number"}, {}, {"--fast", "--smsc-number", "+491722270333"}, sent},
        {"no centre number known",
         {"--no-smsc-number"},
         {},
         {"--fast"},
         "The phone has no SMS centre number: give one with --smsc-number (your operator's, such as "
         "+491722270333)\nMessage send error\n"},
        {"SIM busy for 2 s", {"--sim-busy-for", "2"}, {}, {"--fast"}, sent},
        {"SIM busy after its PIN", {"--pin", kPin, "--sim-busy-for", "2"}, {"PELORIN_PIN=4711"}, {"--fast"}, sent},
        {"bare prompt", {"--prompt-style", "bare"}, {}, {"--fast"}, sent},
        {"prompt on its own line", {"--prompt-style", "newline"}, {}, {"--fast"}, sent},
        {"prompt after the echo", {"--prompt-style", "same-line"}, {}, {"--fast"}, sent},
        {"prompt after the echo, fixed waits", {"--prompt-style", "same-line"}, {}, {}, sent},
        {"fast writes to it",
         {"--drops-fast-writes"},
         {},
         {"--fast"},
         "The phone answered +CMS ERROR: 304: invalid PDU mode parameter (3GPP TS 27.005)\nMessage send error\n"},
    };
    std::vector<std::future<Send>> runs;
    for (const auto& c : cases)
        runs.push_back(std::async(std::launch::async, sendTo, c.phone, c.environment, c.send, "group-graphic"));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Send send = runs[i].get();
        const auto& c = cases[i];
        const bool wellEnded = c.lastLines == sent;
        EXPECT_EQ(send.lastLines(wellEnded ? 1 : 2), c.lastLines) << c.name << "\n" << send.result.out;
        EXPECT_EQ(send.result.exitStatus, wellEnded ? 0 : 1) << c.name;
        // The PIN is given at most once and never shows.
        EXPECT_LE(occurrences(send.transcript, "AT+CPIN=\""), 1) << c.name;
        for (const std::string* text : {&send.transcript, &send.log, &send.result.out, &send.result.err}) {
            EXPECT_EQ(text->find(kPin), std::string::npos) << c.name;
            EXPECT_EQ(text->find("1111"), std::string::npos) << c.name;
        }
        if (!c.environment.empty()) {
            EXPECT_NE(send.log.find("> AT+CPIN=\"****\"<0D><0A>"), std::string::npos) << c.name << send.log;
        }
    }
}

TEST(ModemQuirksCli, ThreeRunsWithAWrongPinLockTheSimAndTheFourthSaysSo) {
    testing::TemporaryFolder folder("pelorin-puk");
    testing::PhoneProcess phone(PELORIN_PHONE_PATH, {"--quiet", "--store", folder.file("store"), "--pin", kPin});
    ASSERT_TRUE(phone.started());
    const std::string pinFile = folder.file("pin");
    std::vector<std::string> outcomes;
    for (const char* pin : {"1111", "2222", "3333", "4711"}) {
        const std::string line = std::string(pin) + "\n";
        testing::writeFileBytes(pinFile, std::vector<std::uint8_t>(line.begin(), line.end()));
        const auto result = runProcess(PELORIN_CLI_PATH, {"send", "group-graphic", "--to", "+123", "--fast",
                                                          "--pin-file", pinFile, "--port", phone.devicePath()});
        outcomes.push_back(result.out.substr(result.out.rfind('\n', result.out.size() - 2) + 1));
        EXPECT_EQ(result.out.find(pin), std::string::npos);
    }
    EXPECT_EQ(outcomes,
              (std::vector<std::string>{"Wrong SIM PIN\n", "Wrong SIM PIN\n", "Wrong SIM PIN\n", "SIM locked\n"}));
}

TEST(ModemQuirksCli, BusyPastTenSecondsFailsWithThePhonesMeaning) {
    const Send send = sendTo({"--sim-busy-for", "60"}, {}, {"--fast"});
    EXPECT_EQ(send.lastLines(2), "The phone answered +CME ERROR: 14: SIM busy (3GPP TS 27.007)\nCommunication error\n");
    EXPECT_EQ(occurrences(send.transcript, "AT+CMGF=0\r\n"), 11) << "the first try and ten more, a second apart";
}

TEST(ModemQuirksCli, PinArgumentsAndBadPinsAreRefusedWithoutShowingThem) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"PELORIN_PIN=12a4", PELORIN_CLI_PATH, "send", "group-graphic", "--to", "1", "--port", "COM1:"},
             {PELORIN_CLI_PATH, "send", "group-graphic", "--to", "1", "--port", "COM1:", "--pin", "9876"},
             {PELORIN_CLI_PATH, "send", "group-graphic", "--to", "1", "--port", "COM1:", "--pin-file", "/nonexistent"},
             {PELORIN_CLI_PATH, "send", "group-graphic", "--to", "1", "--port", "COM1:", "--smsc-number", "+49 17"}}) {
        const auto result = runProcess("/usr/bin/env", args);
        EXPECT_EQ(result.exitStatus, 2) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.find("12a4"), std::string::npos);
        EXPECT_EQ(result.err.find("9876"), std::string::npos);
    }
}

// What a send writes to a phone that behaves: AT+CMGF=0, then each message's
// AT+CMGS and PDU with its Ctrl-Z, as encode prints them.
std::string todaysBytes(const std::string& kind) {
    const auto encoded = runProcess(PELORIN_CLI_PATH, {"encode", kind, "--to", "+123"});
    std::string bytes = "AT+CMGF=0\r\n";
    std::size_t at = 0;
    while (at < encoded.out.size()) {
        const std::size_t command = encoded.out.find('\n', at);
        const std::size_t pdu = encoded.out.find('\n', command + 1);
        bytes +=
            encoded.out.substr(at, command - at) + "\r\n" + encoded.out.substr(command + 1, pdu - command - 1) + "\x1A";
        at = pdu + 1;
    }
    return bytes;
}

TEST(ModemQuirksCli, APhoneWithoutQuirksGetsTodaysBytesForEveryKindInBothModes) {
    std::vector<std::pair<std::string, std::future<Send>>> runs;
    for (const char* kind :
         {"operator-logo", "group-graphic", "restore-operator-logo", "picture-message", "large-operator-logo"}) {
        for (const bool fast : {false, true}) {
            std::vector<std::string> args{"--smsc-number", "+491722270333"};
            if (fast) args.push_back("--fast");
            runs.emplace_back(std::string(kind) + (fast ? " fast" : " fixed"),
                              std::async(std::launch::async, sendTo, std::vector<std::string>{},
                                         std::vector<std::string>{"PELORIN_PIN=4711"}, args, kind));
        }
    }
    for (auto& [name, run] : runs) {
        const Send send = run.get();
        const std::string kind = name.substr(0, name.find(' '));
        EXPECT_EQ(send.transcript, todaysBytes(kind)) << name;
        EXPECT_EQ(send.result.exitStatus, 0) << name << send.result.out;
    }
}

TEST(ModemQuirksCli, SlowWritesReachAPhoneThatDropsFastOnes) {
    // A machine under load may hand the phone two pieces at once, which it
    // then cannot tell from a fast write; a few tries keep that from
    // failing the test, while sends without slow writes fail every time.
    Send send;
    for (int attempt = 0; attempt < 3; ++attempt) {
        send = sendTo({"--drops-fast-writes"}, {}, {"--fast", "--slow-writes"}, "picture-message");
        if (send.result.exitStatus == 0) break;
    }
    EXPECT_EQ(send.lastLines(1), "Picture message was successfully sent\n") << send.result.out;
    EXPECT_EQ(send.transcript, todaysBytes("picture-message")) << "the same bytes, only slower";
}

TEST(ModemQuirksCli, PortsTellsPhonesFromSilentBusyAndForbiddenPorts) {
    testing::PhoneProcess phone(PELORIN_PHONE_PATH, {"--quiet"});
    testing::PhoneProcess modem(PELORIN_PHONE_PATH, {"--quiet", "--model", "Quectel EC25"});
    testing::PhoneProcess held(PELORIN_PHONE_PATH, {"--quiet"});
    testing::PhoneProcess forbidden(PELORIN_PHONE_PATH, {"--quiet"});
    testing::AnsweringPty silent("");
    ASSERT_TRUE(phone.started() && modem.started() && held.started() && forbidden.started());
    // Everyone may open the others; only its owner (root, or this user) the forbidden one.
    for (const std::string& device : {phone.devicePath(), modem.devicePath(), held.devicePath(), silent.devicePath()})
        ASSERT_EQ(::chmod(device.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(forbidden.devicePath().c_str(), ::geteuid() == 0 ? 0600 : 0), 0);

    const std::string cli = testing::reachableByUnprivilegedUser(PELORIN_CLI_PATH);
    std::string command;
    for (const auto& part :
         testing::commandAsUnprivilegedUser(cli, {"ports", phone.devicePath(), silent.devicePath(), modem.devicePath(),
                                                  held.devicePath(), forbidden.devicePath()}))
        command += "'" + part + "' ";
    // Another program holds one port while the ports are probed.
    const auto result =
        runProcess("/bin/sh", {"-c", "exec 9<>" + held.devicePath() + " && flock -n 9 && exec " + command});
    EXPECT_EQ(result.out, phone.devicePath() + "\tanswers\tPelorin simulated phone\n" + silent.devicePath() +
                              "\tsilent\n" + modem.devicePath() + "\tanswers\tQuectel EC25\n" + held.devicePath() +
                              "\tbusy (in use by another program)\n" + forbidden.devicePath() +
                              "\tno access (join group dialout)\n")
        << result.err;
    EXPECT_EQ(result.exitStatus, 0);

    // The phones still answer a send afterwards: their settings were given back.
    const auto after =
        runProcess(PELORIN_CLI_PATH, {"send", "group-graphic", "--to", "1", "--fast", "--port", modem.devicePath()});
    EXPECT_EQ(after.exitStatus, 0) << after.out;
}

TEST(ModemQuirksCli, PortsNeverWritesToAPortAnotherProgramHoldsEvenAsRoot) {
    testing::TemporaryFolder folder("pelorin-ports-excl");
    testing::PhoneProcess phone(PELORIN_PHONE_PATH, {"--quiet", "--transcript", folder.file("transcript")});
    ASSERT_TRUE(phone.started());
    // Another program holds the port with the terminal's exclusive flag,
    // which root could get past.
    const int held = ::open(phone.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::ioctl(held, TIOCEXCL), 0);
    const auto result = runProcess(PELORIN_CLI_PATH, {"ports", phone.devicePath()});
    EXPECT_EQ(result.out, phone.devicePath() + "\tbusy (in use by another program)\n");
    EXPECT_EQ(result.exitStatus, 1);
    ::ioctl(held, TIOCNXCL);
    ::close(held);
    EXPECT_EQ(testing::readFileText(folder.file("transcript")), "") << "nothing was written to it";
}

}  // namespace
}  // namespace pelorin
