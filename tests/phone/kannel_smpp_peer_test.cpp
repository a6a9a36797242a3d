// Kannel's bearerbox and smsbox with an SMPP connection (smsc = smpp) to the
// simulated phone's SMS centre: a logo that pelorin-cli sends through
// kannel:// (smsbox's sendsms, one request a part) must reach the phone's
// store pixel for pixel, and a request Kannel refuses must fail the
// recipient with Kannel's own text. Kannel runs as
// tests/support/kannel_gateway.h describes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "peer_support.h"
#include "support/kannel_gateway.h"
#include "support/loopback.h"
#include "support/phone_process.h"

namespace pelorin::phone {
namespace {

using namespace peers;
using namespace std::chrono_literals;

bool waitUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(100ms);
    }
    return done();
}

// A Pelorin document of 72 x 14: rows of 72 pixels, eight a byte, the
// first pixel in the highest bit.
void writeOperatorDocument(const std::string& path) {
    std::vector<std::uint8_t> bytes(126, 0);
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 72; ++x) {
            if (operatorPixel(x, y))
                bytes[static_cast<std::size_t>((y * 72 + x) / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
    pelorin::testing::writeFileBytes(path, bytes);
}

class KannelSmppPeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto centrePort = pelorin::testing::freeLoopbackPort();
        phone = std::make_unique<pelorin::testing::PhoneProcess>(
            PELORIN_PHONE_PATH,
            std::vector<std::string>{"--quiet", "--network", "262-02", "--store", store.path().string(), "--smpp",
                                     std::to_string(centrePort), "--smpp-account", "kannel:centrepw"});
        ASSERT_TRUE(phone->started());
        pelorin::testing::KannelCentre centre;
        centre.port = centrePort;
        centre.systemId = "kannel";
        centre.password = "centrepw";
        ASSERT_EQ(gateway.start(centre), "");
    }

    pelorin::testing::ProcessResult send(const std::string& password, std::vector<std::string> args) {
        args.insert(args.begin(), {"PELORIN_SMSC_PASSWORD=" + password, PELORIN_CLI_PATH, "send"});
        return pelorin::testing::runProcess("/usr/bin/env", args);
    }
    std::string url() const { return gateway.url(); }
    std::string log(const char* name) { return gateway.log(name); }

    pelorin::testing::TemporaryFolder folder{"pelorin-kannel-smpp"};
    pelorin::testing::TemporaryFolder store{"pelorin-kannel-smpp-store"};
    std::unique_ptr<pelorin::testing::PhoneProcess> phone;
    pelorin::testing::KannelGateway gateway;
};

TEST_F(KannelSmppPeerTest, LogoThroughSendsmsArrivesPixelForPixel) {
    writeOperatorDocument(folder.file("operator.plr"));
    const auto sent = send(
        pelorin::testing::KannelGateway::kSendsmsPassword,
        {"operator-logo", "--smsc", url(), "--to", "+4917012345", "--network", "262-02", folder.file("operator.plr")});
    EXPECT_EQ(sent.out, "+4917012345\tsent\taccepted\n1 sent, 0 failed, 0 unknown\n") << sent.err;
    EXPECT_EQ(sent.exitStatus, 0) << sent.err;
    ASSERT_TRUE(waitUntil([this] { return !pelorin::testing::readPhoneLog(store.path()).empty(); }, 20s))
        << log("smsc.log") << log("bearerbox.log");
    const auto entries = pelorin::testing::readPhoneLog(store.path());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].at("kind"), "operator-logo");
    EXPECT_EQ(entries[0].at("number"), "+4917012345");
    expectStoredPicture(store.path(), entries[0].at("file"), 72, 14, operatorPixel);
    // coding=1, mclass=1 and alt-dcs=1 make Kannel's submit carry 0xF5, as the serial PDU does.
    EXPECT_NE(log("smsc.log").find("data_coding: 245 = 0x000000f5"), std::string::npos) << log("smsc.log");
}

TEST_F(KannelSmppPeerTest, RefusedRequestFailsTheRecipientWithKannelsText) {
    const auto sent = send("not-it", {"group-graphic", "--smsc", url(), "--to", "4917012345"});
    EXPECT_EQ(sent.out, "4917012345\tfailed\tKannel: Authorization failed for sendsms\n0 sent, 1 failed, 0 unknown\n")
        << sent.err;
    EXPECT_EQ(sent.exitStatus, 1);
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(pelorin::testing::readPhoneLog(store.path()).empty());
}

}  // namespace
}  // namespace pelorin::phone
