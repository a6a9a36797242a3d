#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/answering_pty.h"
#include "support/phone_process.h"
#include "support/process.h"

namespace pelorin {
namespace {

using testing::runProcess;

TEST(SendCommandTest, PortThatDoesNotExistFailsAfterTryingToOpenIt) {
    const auto result =
        runProcess(PELORIN_CLI_PATH, {"send", "group-graphic", "--to", "+123", "--port", "/dev/pelorin-no-such-port"});
    EXPECT_EQ(result.out,
              "Opening COM port\n/dev/pelorin-no-such-port: no such device (No such file or directory); check the "
              "port name and that the phone or its cable is plugged in\nCannot open COM port\n");
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(SendCommandTest, ComNameWithoutDeviceFails) {
    const auto result = runProcess(PELORIN_CLI_PATH, {"send", "operator-logo", "--to", "123", "--network", "262-02",
                                                      "--port", "COM256:", "--fast"});
    EXPECT_EQ(result.out,
              "Opening COM port\n/dev/ttyS255: no such device (No such file or directory); check the port name and "
              "that the phone or its cable is plugged in\nCannot open COM port\n");
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(SendCommandTest, PortsInUseOrWithoutPermissionSayWhatToDo) {
    testing::PhoneProcess phone(PELORIN_PHONE_PATH, {"--quiet"});
    ASSERT_TRUE(phone.started());
    // Another program (the shell) holds the port while the send tries it.
    const std::string device = phone.devicePath();
    const auto held =
        runProcess("/bin/sh", {"-c", "exec 9<>" + device + " && flock -n 9 && echo locked && " + PELORIN_CLI_PATH +
                                         " send group-graphic --to 1 --fast --port " + device});
    EXPECT_EQ(held.out, "locked\nOpening COM port\n" + device +
                            ": in use by another program (Resource temporarily unavailable); close that program "
                            "first, for example a modem manager holding the port (sudo systemctl stop "
                            "ModemManager)\nCannot open COM port\n");
    EXPECT_EQ(held.exitStatus, 1);

    // A device that only its owner may open, tried by someone else (root
    // would be let in, so the send runs as nobody then).
    ASSERT_EQ(::chmod(device.c_str(), ::geteuid() == 0 ? 0600 : 0), 0);
    std::vector<std::string> command{"send", "group-graphic", "--to", "1", "--fast", "--port", device};
    std::string program = PELORIN_CLI_PATH;
    if (::geteuid() == 0) {
        command.insert(command.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", PELORIN_CLI_PATH});
        program = "/usr/bin/setpriv";
    }
    const auto denied = runProcess(program, command);
    EXPECT_EQ(denied.out, "Opening COM port\n" + device +
                              ": permission denied (Permission denied); the device is not open to the user's groups: "
                              "serial ports usually belong to the group dialout (sudo usermod -aG dialout $USER, then "
                              "log in again)\nCannot open COM port\n")
        << denied.err;
    EXPECT_EQ(denied.exitStatus, 1);
}

TEST(SendCommandTest, FastSendPrintsWhatTheFixedWaitsPrintAndThePhonesErrors) {
    testing::PhoneProcess phone(PELORIN_PHONE_PATH, {"--quiet"});
    ASSERT_TRUE(phone.started());
    const std::vector<std::string> args{"send", "picture-message", "--to", "+4917012345", "--port", phone.devicePath()};
    std::vector<std::string> fastArgs = args;
    fastArgs.push_back("--fast");
    const auto fast = runProcess(PELORIN_CLI_PATH, fastArgs);
    const auto fixed = runProcess(PELORIN_CLI_PATH, args);
    EXPECT_EQ(fast.out, fixed.out);
    EXPECT_EQ(fast.out.substr(fast.out.rfind('\n', fast.out.size() - 2) + 1),
              "Picture message was successfully sent\n");
    EXPECT_EQ(fast.exitStatus, 0);
    EXPECT_EQ(fixed.exitStatus, 0);

    // A phone without a SIM card refuses every command with +CMS ERROR: 310.
    testing::AnsweringPty simCard("\r\n+CMS ERROR: 310\r\n");
    const auto refused =
        runProcess(PELORIN_CLI_PATH, {"send", "group-graphic", "--to", "1", "--fast", "--port", simCard.devicePath()});
    EXPECT_EQ(refused.out,
              "Opening COM port\nSending SMS\nSetting up connection\nThe phone answered +CMS ERROR: 310: (U)SIM not "
              "inserted (3GPP TS 27.005)\nCommunication error\n");
    EXPECT_EQ(refused.exitStatus, 1);
}

TEST(SendCommandTest, NumberWithControlCharactersIsRefusedBeforeOpening) {
    const auto result = runProcess(PELORIN_CLI_PATH,
                                   {"send", "group-graphic", "--to", "12\r34", "--port", "/dev/pelorin-no-such-port"});
    EXPECT_EQ(result.out, "Number or network code contains invalid characters\n");
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(SendCommandTest, NumberWithLettersIsRefusedBeforeOpeningAndEncodeRefusesItToo) {
    // A phone that never acknowledges a message: "KO" written into the
    // address would come back in the PDU's echo as "OK".
    testing::PhoneProcess phone(PELORIN_PHONE_PATH, {"--quiet", "--silent-after-pdu"});
    ASSERT_TRUE(phone.started());
    for (const char* number : {"KO", "+KO", "", "+", " - ", "+49 170a", "123456789012345678901"}) {
        const auto result = runProcess(
            PELORIN_CLI_PATH, {"send", "group-graphic", "--to", number, "--fast", "--port", phone.devicePath()});
        EXPECT_EQ(result.out, "Number or network code contains invalid characters\n") << number;
        EXPECT_EQ(result.exitStatus, 1) << number;
        const auto encoded = runProcess(PELORIN_CLI_PATH, {"encode", "group-graphic", "--to", number});
        EXPECT_EQ(encoded.out, "") << number;
        EXPECT_EQ(encoded.err,
                  "pelorin-cli encode: --to takes 1 to 20 digits 0-9, * and #, with an optional + in front\n");
        EXPECT_EQ(encoded.exitStatus, 2) << number;
    }
    const auto starAndHash = runProcess(PELORIN_CLI_PATH, {"encode", "group-graphic", "--to", "*31#"});
    EXPECT_EQ(starAndHash.out.substr(0, 26), "AT+CMGS=148\n00510004813AB1");
    EXPECT_EQ(starAndHash.exitStatus, 0);
    // Separators as people type them are left out.
    const auto typed = runProcess(PELORIN_CLI_PATH, {"encode", "group-graphic", "--to", " +49 (170) 123-45.6"});
    EXPECT_EQ(typed.out, runProcess(PELORIN_CLI_PATH, {"encode", "group-graphic", "--to", "+49170123456"}).out);
    EXPECT_EQ(typed.exitStatus, 0) << typed.err;
}

TEST(SendCommandTest, BadArgumentsExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"send", "group-graphic", "--to", "+123"},                           // no --port
        {"send", "group-graphic", "--to", "+123", "--port"},                 // --port without a value
        {"send", "no-such-kind", "--to", "+123", "--port", "COM1:"},         // unknown kind
        {"send", "group-graphic", "--port", "COM1:"},                        // no --to
        {"send", "group-graphic", "--to", "1", "--port", "COM1:", "--bad"},  // unknown option
    };
    for (const auto& args : cases) {
        const auto result = runProcess(PELORIN_CLI_PATH, args);
        EXPECT_EQ(result.exitStatus, 2) << args.size();
        EXPECT_EQ(result.out, "") << "nothing was sent, so no progress lines";
        EXPECT_NE(result.err, "");
    }
}

}  // namespace
}  // namespace pelorin
