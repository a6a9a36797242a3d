// Osmocom's core network as the SMS centre: osmo-hlr with a subscriber made
// over its VTY and osmo-msc with its SMPP interface, both on a loopback
// address of their own, in a temporary folder with their own configuration
// and databases. Every kind is sent through smpp:// and the messages osmo-msc
// stored are compared, field by field, with the PDUs of the same job on the
// serial path as this test's own PDU reader reads them. The network is
// started as tests/support/osmocom_network.h describes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/osmocom_network.h"
#include "support/pdu_reader.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace {

using pelorin::testing::OsmocomNetwork;
using pelorin::testing::runProcess;
constexpr const char* kSubscriberMsisdn = OsmocomNetwork::kSubscriberMsisdn;
constexpr const char* kPassword = OsmocomNetwork::kPassword;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::string hex(const std::vector<std::uint8_t>& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (auto octet : bytes) {
        out.push_back(digits[octet >> 4]);
        out.push_back(digits[octet & 0x0F]);
    }
    return out;
}

pelorin::testing::ProcessResult cli(const std::string& password, std::vector<std::string> args) {
    args.insert(args.begin(), {"PELORIN_SMSC_PASSWORD=" + password, PELORIN_CLI_PATH});
    return runProcess("/usr/bin/env", args);
}

// A picture file of the given size whose octets are not all alike.
std::string patternDocument(const pelorin::testing::TemporaryFolder& folder, const std::string& name,
                            std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    pelorin::testing::writeFileBytes(folder.file(name), bytes);
    return folder.file(name);
}

struct Job {
    std::string kind;
    std::string number;
    std::vector<std::string> options;
    std::size_t documentSize;  // 0: no file, or tune below
    std::string tune = {};     // a ringtone's RTTTL file
};

TEST(OsmocomPeerTest, EveryKindStoredAsTheSerialPdusSayOctetForOctet) {
    OsmocomNetwork network(PELORIN_SCTP_OVER_TCP_PATH);
    const auto why = network.start();
    ASSERT_EQ(why, "");

    const std::vector<Job> jobs = {
        {"operator-logo", std::string("+") + kSubscriberMsisdn, {"--network", "262-02"}, 126},
        {"group-graphic", "01701234567", {}, 126},
        {"restore-operator-logo", std::string("+") + kSubscriberMsisdn, {"--report"}, 0},
        {"picture-message",
         std::string("+") + kSubscriberMsisdn,
         {"--text", "Pelorin \xC3\xA9t\xC3\xA9", "--report"},
         252},
        {"large-operator-logo", "4915112345678", {"--network", "262-07", "--report"}, 205},
        {"ringtone", "+4915112345678", {"--report"}, 0, "abcd:d=4,o=5,b=125:8c6,8e6,g6,p,16a#4.,2c7,32b"},
        {"ems-picture", "01701234567", {"--text", "Pelorin"}, 126},
        {"ems-picture", std::string("+") + kSubscriberMsisdn, {"--text", "Gr\xC3\xBC\xC3\x9F", "--report"}, 126},
    };
    std::vector<std::vector<std::string>> expected;
    for (const auto& job : jobs) {
        std::vector<std::string> args = {job.kind, "--to", job.number};
        args.insert(args.end(), job.options.begin(), job.options.end());
        if (job.documentSize > 0)
            args.push_back(patternDocument(network.folder(), job.kind + ".plr", job.documentSize));
        if (!job.tune.empty()) {
            pelorin::testing::writeFileBytes(network.folder().file("tune.rtttl"),
                                             std::vector<std::uint8_t>(job.tune.begin(), job.tune.end()));
            args.push_back(network.folder().file("tune.rtttl"));
        }

        auto encodeArgs = args;
        encodeArgs.insert(encodeArgs.begin(), "encode");
        const auto encoded = runProcess(PELORIN_CLI_PATH, encodeArgs);
        ASSERT_EQ(encoded.exitStatus, 0) << encoded.err;
        const auto out = lines(encoded.out);
        ASSERT_EQ(out.size() % 2, 0u) << encoded.out;
        for (std::size_t i = 1; i < out.size(); i += 2) {
            std::string whyNot;
            const auto pdu = pelorin::testing::readSubmitPdu(out[i], &whyNot);
            ASSERT_TRUE(pdu.has_value()) << whyNot << ": " << out[i];
            // The length counts septets for the default alphabet (EMS text), octets otherwise.
            const std::size_t length = pdu->userDataLength;
            ASSERT_EQ(pdu->userData.size(), pdu->dataCoding == 0x00 ? (length * 7 + 7) / 8 : length) << out[i];
            // osmo-msc keeps as many octets as the length says, the packed
            // septets first and zeros after them.
            std::string storedUserData = hex(pdu->userData);
            if (length > pdu->userData.size()) storedUserData.append(2 * (length - pdu->userData.size()), '0');
            expected.push_back({pdu->addressDigits, std::to_string((pdu->typeOfAddress >> 4) & 0x07),
                                std::to_string(pdu->typeOfAddress & 0x0F), pdu->statusReportRequested() ? "1" : "0",
                                (pdu->firstOctet & 0x40) != 0 ? "1" : "0", std::to_string(pdu->dataCoding),
                                std::to_string(pdu->protocolIdentifier), storedUserData});
        }

        auto sendArgs = args;
        sendArgs.insert(sendArgs.begin(), {"send"});
        sendArgs.insert(sendArgs.begin() + 2, {"--smsc", network.smscUrl()});
        const auto sent = cli(kPassword, sendArgs);
        EXPECT_EQ(sent.exitStatus, 0) << job.kind << "\n" << sent.out << sent.err << network.log("msc.log");
        const auto outLines = lines(sent.out);
        ASSERT_FALSE(outLines.empty()) << job.kind << "\n" << sent.err;
        EXPECT_EQ(outLines.back(), "1 sent, 0 failed, 0 unknown") << job.kind;
    }
    // One stored message a PDU: 1 + 1 + 1 + 3 + 2, a ringtone of 1, EMS of 1 and 1.
    EXPECT_EQ(expected.size(), 11u);
    const auto stored = network.storedMessages();
    ASSERT_EQ(stored.size(), expected.size());
    const std::vector<std::string> names = {"dest_addr",  "dest_ton",           "dest_npi",    "status_rep_req",
                                            "ud_hdr_ind", "data_coding_scheme", "protocol_id", "user_data"};
    for (std::size_t i = 0; i < stored.size(); ++i) {
        ASSERT_EQ(stored[i].size(), names.size());
        for (std::size_t f = 0; f < names.size(); ++f) {
            EXPECT_EQ(stored[i][f], expected[i][f]) << "message " << i << ", " << names[f];
        }
    }
}

TEST(OsmocomPeerTest, WrongPasswordGivesTheBindsReasonAndStoresNothing) {
    OsmocomNetwork network(PELORIN_SCTP_OVER_TCP_PATH);
    const auto why = network.start();
    ASSERT_EQ(why, "");
    const auto sent = cli("wrong", {"send", "group-graphic", "--smsc", network.smscUrl(), "--to", "+4915112345678"});
    EXPECT_EQ(sent.exitStatus, 1);
    EXPECT_EQ(sent.out,
              "+4915112345678\tfailed\tnot sent: the SMS centre refused the bind: ESME_RINVPASWD: invalid password\n"
              "0 sent, 1 failed, 0 unknown\n");
    EXPECT_NE(sent.err.find("ESME_RINVPASWD: invalid password"), std::string::npos) << sent.err;
    EXPECT_TRUE(network.storedMessages().empty());
}

}  // namespace
