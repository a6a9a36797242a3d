// Gammu against the simulated phone as a modem: its network and cell, the
// messages of a loaded inbox, and a logo that Gammu sends to a phone that
// files what it is sent in its own inbox, read back by pelorin-cli receive
// pixel for pixel.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "peer_support.h"
#include "support/deliver_builder.h"
#include "support/phone_process.h"

namespace pelorin::phone {
namespace {

using namespace peers;
using namespace pelorin::testing;
constexpr const char* kGammu = "/usr/bin/gammu";

class GammuModemTest : public ::testing::Test {
protected:
    void start(std::vector<std::string> arguments) {
        ASSERT_EQ(::access(kGammu, X_OK), 0) << "Gammu is missing: scripts/ensure-packages.sh installs it (gammu)";
        arguments.insert(arguments.begin(), {"--quiet", "--network", "262-02"});
        phone = std::make_unique<PhoneProcess>(PELORIN_PHONE_PATH, arguments);
        ASSERT_TRUE(phone->started());
        std::ofstream(folder.file("gammurc")) << "[gammu]\nconnection = at\ndevice = " << phone->devicePath() << "\n";
    }
    ProcessResult gammu(std::vector<std::string> args) {
        args.insert(args.begin(), {"-c", folder.file("gammurc")});
        return runPeer(folder.path().string(), kGammu, args);
    }

    TemporaryFolder folder{"pelorin-gammu-modem"};
    std::unique_ptr<PhoneProcess> phone;
};

TEST_F(GammuModemTest, ShowsTheNetworkAndListsALoadedInbox) {
    std::ofstream(folder.file("inbox.txt"))
        << Deliver{{}, {'H', 'e', 'l', 'l', 'o', ' ', 'i', 'n', 'b', 'o', 'x'}, 0x00}.hex() << "\n1,"
        << Deliver{{}, {0x04, 0x1F, 0x04, 0x40, 0x04, 0x38}, 0x08}.hex() << "\n";
    start({"--inbox", folder.file("inbox.txt")});

    const auto network = gammu({"networkinfo"});
    ASSERT_EQ(network.exitStatus, 0) << network.out << network.err;
    EXPECT_NE(network.out.find("262 02"), std::string::npos) << network.out;
    EXPECT_NE(network.out.find("LAC 1A2B, CID 00C3D4E5"), std::string::npos) << network.out;
    EXPECT_NE(network.out.find("GPRS                 : attached"), std::string::npos) << network.out;

    const auto all = gammu({"getallsms"});
    ASSERT_EQ(all.exitStatus, 0) << all.out << all.err;
    EXPECT_NE(all.out.find("Remote number        : \"+4912345\""), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("\nHello inbox\n"), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("\n\u041F\u0440\u0438\n"), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("Status               : UnRead"), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("Status               : Read"), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("2 SMS parts in 2 SMS sequences"), std::string::npos) << all.out;
}

TEST_F(GammuModemTest, ALogoSentByGammuComesBackThroughReceive) {
    start({"--echo-to-inbox", "--own-number", "+4917099"});
    writeOneBitBmp(folder.file("operator.bmp"), 72, 14, operatorPixel);
    auto result = gammu({"sendsms", "OPERATOR", "+4917099", folder.file("operator.bmp"), "-netcode", "262 02"});
    ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;

    const std::string out = folder.file("received");
    result = runProcess(PELORIN_CLI_PATH, {"receive", "--port", phone->devicePath(), "--fast", "--out", out});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out.rfind("SM:1\t+4917099\t", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("\toperator-logo\t72x14 262-02\t" + out + "/SM-1-operator-logo.plr\n"), std::string::npos)
        << result.out;
    const auto bits = readFileBytes(out + "/SM-1-operator-logo.plr");
    ASSERT_EQ(bits.size(), 126u);
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 72; ++x) {
            const int i = y * 72 + x;
            EXPECT_EQ((bits[i / 8] & (0x80 >> (i % 8))) != 0, operatorPixel(x, y)) << x << ", " << y;
        }
    }
}

}  // namespace
}  // namespace pelorin::phone
