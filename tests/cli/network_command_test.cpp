#include <gtest/gtest.h>

#include "support/answering_pty.h"
#include "support/phone_process.h"
#include "support/process.h"

namespace pelorin {
namespace {

using testing::runProcess;

TEST(NetworkCommandTest, NamesTheNetworkOfThePhone) {
    testing::PhoneProcess phone(PELORIN_PHONE_PATH, {"--quiet", "--network", "262-02"});
    ASSERT_TRUE(phone.started());
    for (const bool fast : {true, false}) {
        std::vector<std::string> args{"network", "--port", phone.devicePath()};
        if (fast) args.push_back("--fast");
        const auto result = runProcess(PELORIN_CLI_PATH, args);
        EXPECT_EQ(result.out, "262-02 Germany D2 Mannesmann Mobilfunk\n") << result.err;
        EXPECT_EQ(result.exitStatus, 0);
    }

    testing::PhoneProcess unknown(PELORIN_PHONE_PATH, {"--quiet", "--network", "901-700"});
    ASSERT_TRUE(unknown.started());
    const auto result = runProcess(PELORIN_CLI_PATH, {"network", "--port", unknown.devicePath(), "--fast"});
    EXPECT_EQ(result.out, "901-700 unknown unknown\n");
    EXPECT_EQ(result.exitStatus, 0);
}

TEST(NetworkCommandTest, PhonesThatNameNoNetworkExitWithOne) {
    testing::PhoneProcess unregistered(PELORIN_PHONE_PATH, {"--quiet"});
    ASSERT_TRUE(unregistered.started());
    auto result = runProcess(PELORIN_CLI_PATH, {"network", "--port", unregistered.devicePath(), "--fast"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "pelorin-cli network: The phone is not registered with a network\n");

    testing::AnsweringPty refusing("\r\nERROR\r\n");
    result = runProcess(PELORIN_CLI_PATH, {"network", "--port", refusing.devicePath(), "--fast"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "pelorin-cli network: The phone answered AT+COPS? without naming a network\n");

    testing::AnsweringPty noService("\r\n+CME ERROR: 30\r\n");
    result = runProcess(PELORIN_CLI_PATH, {"network", "--port", noService.devicePath(), "--fast"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err,
              "pelorin-cli network: The phone answered +CME ERROR: 30: no network service (3GPP TS 27.007)\n");

    testing::AnsweringPty silent("");
    result = runProcess(PELORIN_CLI_PATH, {"network", "--port", silent.devicePath(), "--fast"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "pelorin-cli network: The phone did not answer AT+COPS?\n");

    result = runProcess(PELORIN_CLI_PATH, {"network", "--port", "/dev/pelorin-no-such-port"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("/dev/pelorin-no-such-port: no such device"), std::string::npos) << result.err;
}

TEST(NetworkCommandTest, BadArgumentsExitWithTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"network"}, {"network", "--port"}, {"network", "--port", "COM1:", "--slow"}, {"network", "extra"}}) {
        const auto result = runProcess(PELORIN_CLI_PATH, args);
        EXPECT_EQ(result.exitStatus, 2) << args.size();
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err, "");
    }
}

}  // namespace
}  // namespace pelorin
