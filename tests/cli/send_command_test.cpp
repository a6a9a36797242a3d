#include <gtest/gtest.h>

#include "support/process.h"

namespace pelorin {
namespace {

using testing::runProcess;

TEST(SendCommandTest, PortThatDoesNotExistFailsAfterTryingToOpenIt) {
    const auto result =
        runProcess(PELORIN_CLI_PATH, {"send", "group-graphic", "--to", "+123", "--port", "/dev/pelorin-no-such-port"});
    EXPECT_EQ(result.out, "Opening COM port\nCannot open COM port\n");
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(SendCommandTest, ComNameWithoutDeviceFails) {
    const auto result = runProcess(
        PELORIN_CLI_PATH, {"send", "operator-logo", "--to", "123", "--network", "262-02", "--port", "COM256:"});
    EXPECT_EQ(result.out, "Opening COM port\nCannot open COM port\n");
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(SendCommandTest, NumberWithControlCharactersIsRefusedBeforeOpening) {
    const auto result = runProcess(PELORIN_CLI_PATH,
                                   {"send", "group-graphic", "--to", "12\r34", "--port", "/dev/pelorin-no-such-port"});
    EXPECT_EQ(result.out, "Number or network code contains invalid characters\n");
    EXPECT_EQ(result.exitStatus, 1);
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
