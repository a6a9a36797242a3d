// gnokii, with its AT driver, identifies the simulated phone, reads its
// network and cell, and sends through it a GSM 7-bit and a UCS-2 text and an
// operator logo, each of which must arrive decoded exactly.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "peer_support.h"
#include "support/phone_process.h"

namespace pelorin::phone {
namespace {

using namespace peers;
constexpr const char* kGnokii = "/usr/bin/gnokii";

class GnokiiPeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::access(kGnokii, X_OK), 0)
            << "gnokii is missing: scripts/ensure-packages.sh installs it (gnokii-cli)";
        ASSERT_TRUE(phone.started());
        std::ofstream(folder.file("gnokiirc")) << "[global]\nport = " << phone.devicePath()
                                               << "\nmodel = AT\nconnection = serial\n[logging]\ndebug = off\n";
    }
    pelorin::testing::ProcessResult gnokii(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"--config", folder.file("gnokiirc")});
        if (input.empty()) return runPeer(folder.path().string(), kGnokii, args);
        // Text to send comes on standard input.
        std::ofstream(folder.file("input.txt")) << input;
        std::string command = "exec \"$0\" \"$@\" < " + folder.file("input.txt");
        args.insert(args.begin(), {"-c", command, kGnokii});
        return runPeer(folder.path().string(), "/bin/sh", args);
    }

    pelorin::testing::TemporaryFolder folder{"pelorin-gnokii"};
    pelorin::testing::TemporaryFolder store{"pelorin-gnokii-store"};
    pelorin::testing::PhoneProcess phone{PELORIN_PHONE_PATH,
                                         {"--quiet", "--network", "262-02", "--store", store.path().string()}};
};

TEST_F(GnokiiPeerTest, ShowsTheNetworkAndSendsTextsAndAnOperatorLogo) {
    const auto identify = gnokii({"--identify"});
    ASSERT_EQ(identify.exitStatus, 0) << identify.out << identify.err;
    EXPECT_NE(identify.out.find("IMEI         : 490154203237518"), std::string::npos) << identify.out;

    const auto network = gnokii({"--getnetworkinfo"});
    ASSERT_EQ(network.exitStatus, 0) << network.out << network.err;
    EXPECT_NE(network.out.find("Network code : 262 02"), std::string::npos) << network.out;
    EXPECT_NE(network.out.find("LAC          : 1a2b (6699)"), std::string::npos) << network.out;
    EXPECT_NE(network.out.find("Cell id      : 00c3d4e5 (12834021)"), std::string::npos) << network.out;

    auto result = gnokii({"--sendsms", "+4917012345"}, "Hello from gnokii {x}");
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    result = gnokii({"--sendsms", "0170123"}, "Gr\u00FC\u00DFe \u20AC \u041F\u0440\u0438");
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    writeOneBitBmp(folder.file("operator.bmp"), 72, 14, operatorPixel);
    result = gnokii({"--sendlogo", "op", "+4917012345", folder.file("operator.bmp"), "262 02"});
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;

    const auto entries = pelorin::testing::readPhoneLog(store.path());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].at("kind"), "text-message");
    EXPECT_EQ(entries[0].at("number"), "+4917012345");
    EXPECT_EQ(entries[0].at("text"), "Hello from gnokii {x}");
    EXPECT_EQ(entries[1].at("kind"), "text-message");
    EXPECT_EQ(entries[1].at("number"), "0170123");
    EXPECT_EQ(entries[1].at("text"), "Gr\u00FC\u00DFe \u20AC \u041F\u0440\u0438");
    EXPECT_EQ(entries[2].at("kind"), "operator-logo");
    EXPECT_EQ(entries[2].at("size"), "72x14");
    EXPECT_EQ(entries[2].at("mcc") + "-" + entries[2].at("mnc"), "262-02");
    expectStoredPicture(store.path(), entries[2].at("file"), 72, 14, operatorPixel);
    for (const auto& entry : entries) EXPECT_EQ(entry.at("error"), "");
}

}  // namespace
}  // namespace pelorin::phone
