// Kannel's bearerbox and smsbox with an SMPP connection (smsc = smpp) to the
// simulated phone's SMS centre: a logo that pelorin-cli sends through
// kannel:// (smsbox's sendsms, one request a part) must reach the phone's
// store pixel for pixel, and a request Kannel refuses must fail the
// recipient with Kannel's own text. Kannel runs as
// tests/support/kannel_gateway.h describes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "peer_support.h"
#include "support/kannel_gateway.h"
#include "support/loopback.h"
#include "support/phone_process.h"
#include "support/process.h"

namespace pelorin::phone {
namespace {

using namespace peers;
using namespace std::chrono_literals;

using testing::waitUntil;
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

// An EMS picture is a text message: Kannel must submit its text in the
// part's own coding (0 or 8, as many submits as parts, no header of its own),
// so that the phone shows the picture and the text exactly as typed. The text
// does not fit behind the picture and goes on in further parts.
TEST_F(KannelSmppPeerTest, EmsPictureTextArrivesExactInItsCoding) {
    writeOperatorDocument(folder.file("operator.plr"));
    struct Case {
        const char* text;
        const char* dataCoding;  // as Kannel's SMPP log writes it
    };
    std::size_t submits = 0;
    std::size_t stored = 0;
    for (const Case& c : {
             // Every printable character of the default alphabet, in code order, '@' (code 0) first,
             // then those of the extension table (escaped), over two pictures.
             Case{"@\xC2\xA3$"
                  "\xC2\xA5\xC3\xA8\xC3\xA9\xC3\xB9\xC3\xAC\xC3\xB2\xC3\x87\xC3\x98\xC3\xB8\xC3\x85\xC3\xA5\xCE\x94_"
                  "\xCE\xA6\xCE\x93\xCE\x9B\xCE\xA9\xCE\xA0\xCE\xA8\xCE\xA3\xCE\x98\xCE\x9E\xC3\x86\xC3\xA6\xC3\x9F\xC3"
                  "\x89 !\"#"
                  "\xC2\xA4%&'()*+,-./0123456789:;<=>?\xC2\xA1"
                  "ABCDE",
                  "data_coding: 0 = 0x00000000"},
             Case{"FGHIJKLMNOPQRSTUVWXYZ\xC3\x84\xC3\x96\xC3\x91\xC3\x9C\xC2\xA7\xC2\xBF"
                  "abcdefghijklmnopqrstuvwxyz\xC3\xA4\xC3\xB6\xC3\xB1\xC3\xBC\xC3\xA0^{}\\[~]|\xE2\x82\xAC",
                  "data_coding: 0 = 0x00000000"},
             // A letter outside the default alphabet makes the whole text UCS-2; a character beyond
             // the 16-bit range goes as a surrogate pair.
             Case{"\xC5\x81\xC3\xB3"
                  "d\xC5\xBA \xE2\x82\xAC \xE2\x98\xBA \xF0\x9F\x98\x80",
                  "data_coding: 8 = 0x00000008"},
         }) {
        const auto sent = send(
            pelorin::testing::KannelGateway::kSendsmsPassword,
            {"ems-picture", "--smsc", url(), "--to", "+4917012345", "--text", c.text, folder.file("operator.plr")});
        EXPECT_EQ(sent.exitStatus, 0) << sent.out << sent.err;
        ASSERT_EQ(sent.out.rfind("+4917012345\tsent\taccepted", 0), 0u) << sent.out << sent.err;
        const std::string line = sent.out.substr(0, sent.out.find('\n'));
        const std::size_t parts = static_cast<std::size_t>(std::count(line.begin(), line.end(), ',')) + 1;
        ASSERT_GT(parts, 1u) << sent.out;
        ++stored;
        ASSERT_TRUE(waitUntil([&] { return pelorin::testing::readPhoneLog(store.path()).size() >= stored; }, 20s))
            << log("smsc.log") << log("bearerbox.log");
        const auto entries = pelorin::testing::readPhoneLog(store.path());
        ASSERT_EQ(entries.size(), stored);
        const auto& entry = entries.back();
        EXPECT_EQ(entry.at("kind"), "ems-picture") << entry.at("error");
        EXPECT_EQ(entry.at("size"), "72x14");
        std::string logged;  // the phone's log writes a backslash as two
        for (const char ch : std::string(c.text)) logged.append(ch == '\\' ? 2 : 1, ch);
        EXPECT_EQ(entry.at("text"), logged);
        expectStoredPicture(store.path(), entry.at("file"), 72, 14, operatorPixel);

        // One submit a part, each in the coding of the text: Kannel split nothing.
        const std::string smsc = log("smsc.log");
        std::size_t seen = 0;
        std::size_t inCoding = 0;
        for (auto at = smsc.find("type_name: submit_sm\n"); at != std::string::npos;
             at = smsc.find("type_name: submit_sm\n", at + 1)) {
            if (++seen <= submits) continue;
            const auto end = smsc.find("type_name:", at + 1);
            const std::string pdu = smsc.substr(at, end == std::string::npos ? std::string::npos : end - at);
            if (pdu.find(c.dataCoding) != std::string::npos) ++inCoding;
        }
        EXPECT_EQ(seen - submits, parts) << smsc;
        EXPECT_EQ(inCoding, parts) << smsc;
        submits = seen;
    }
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
