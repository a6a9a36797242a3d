// Osmocom's core network as the SMS centre: osmo-hlr with a subscriber made
// over its VTY and osmo-msc with its SMPP interface, both on a loopback
// address of their own, in a temporary folder with their own configuration
// and databases. Every kind is sent through smpp:// and the messages osmo-msc
// stored are compared, field by field, with the PDUs of the same job on the
// serial path as this test's own PDU reader reads them.
//
// osmo-msc opens SCTP sockets (its SGs server, its SIGTRAN link) and stops
// when the kernel has no SCTP; it runs with the SCTP-over-TCP fixture of
// tests/support/sctp_over_tcp preloaded, which changes nothing where the
// kernel has SCTP. The tests never use those links.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "phone/peer_support.h"
#include "support/pdu_reader.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "support/vty_client.h"

namespace {

using pelorin::phone::peers::DaemonProcess;
using pelorin::testing::runProcess;

constexpr const char* kHlr = "/usr/bin/osmo-hlr";
constexpr const char* kMsc = "/usr/bin/osmo-msc";
constexpr const char* kSqlite = "/usr/bin/sqlite3";
constexpr const char* kSubscriberImsi = "001010000000001";
constexpr const char* kSubscriberMsisdn = "4915112345678";
constexpr const char* kSystemId = "pelorin";
constexpr const char* kPassword = "s3cret";
constexpr int kSmppPort = 2775;
constexpr int kHlrVtyPort = 4258;
constexpr int kMscVtyPort = 4254;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = line.find('|', start);
        out.push_back(line.substr(start, end - start));
        if (end == std::string::npos) return out;
        start = end + 1;
    }
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

// osmo-hlr and osmo-msc on an address of 127/8 chosen from the process id,
// so that their fixed ports (GSUP, CTRL, MGCP) never meet those of another
// run on the same machine.
class OsmocomNetwork {
public:
    OsmocomNetwork() : address_(chooseAddress()) {}

    const std::string& address() const { return address_; }
    std::string smscUrl() const {
        return "smpp://" + std::string(kSystemId) + "@" + address_ + ":" + std::to_string(kSmppPort);
    }
    std::string database() const { return folder_.file("msc.db"); }

    // Starts both daemons and makes the subscriber; on failure says why.
    std::string start() {
        for (const char* program : {kHlr, kMsc, kSqlite}) {
            if (::access(program, X_OK) != 0) {
                return std::string(program) +
                       " is missing: install osmo-hlr, osmo-msc and sqlite3 "
                       "(scripts/ensure-packages.sh)";
            }
        }
        writeConfigurations();
        hlr_ = std::make_unique<DaemonProcess>(
            std::vector<std::string>{kHlr, "-c", folder_.file("hlr.cfg"), "-l", folder_.file("hlr.db")},
            folder_.path().string(), folder_.file("hlr.log"));
        std::string why;
        pelorin::testing::VtyClient hlrVty;
        if (!hlrVty.connect(address_, kHlrVtyPort, 20, &why)) return "osmo-hlr: " + why + log("hlr.log");
        bool ok = false;
        hlrVty.command("enable", &ok);
        const std::string imsi = kSubscriberImsi;
        const auto created = hlrVty.command("subscriber imsi " + imsi + " create", &ok);
        if (created.find("Created subscriber " + imsi) == std::string::npos) return "osmo-hlr create: " + created;
        hlrVty.command("subscriber imsi " + imsi + " update msisdn " + kSubscriberMsisdn, &ok);
        const auto shown = hlrVty.command("subscriber imsi " + imsi + " show", &ok);
        if (shown.find(std::string("MSISDN: ") + kSubscriberMsisdn) == std::string::npos) {
            return "osmo-hlr show: " + shown;
        }

        msc_ = std::make_unique<DaemonProcess>(
            std::vector<std::string>{"/usr/bin/env", std::string("LD_PRELOAD=") + PELORIN_SCTP_OVER_TCP_PATH, kMsc,
                                     "-c", folder_.file("msc.cfg")},
            folder_.path().string(), folder_.file("msc.log"));
        pelorin::testing::VtyClient mscVty;
        if (!mscVty.connect(address_, kMscVtyPort, 20, &why)) return "osmo-msc: " + why + log("msc.log");
        // The VTY listens before the SMPP interface is open: wait for the
        // line osmo-msc logs when it is.
        for (int i = 0; i < 200; ++i) {
            if (log("msc.log").find("SMPP at " + address_) != std::string::npos) return {};
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return "osmo-msc did not open SMPP" + log("msc.log");
    }

    // The SMS table, one row a message in the order stored: destination,
    // its type of number and numbering plan, status report asked, header
    // indicator, data coding, protocol id, the user data in hex.
    std::vector<std::vector<std::string>> storedMessages() const {
        const auto result =
            runProcess(kSqlite, {"-batch", "-noheader", "-separator", "|", database(),
                                 "SELECT dest_addr, dest_ton, dest_npi, status_rep_req, ud_hdr_ind, "
                                 "data_coding_scheme, protocol_id, hex(user_data) FROM SMS ORDER BY id"});
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        std::vector<std::vector<std::string>> rows;
        for (const auto& line : lines(result.out)) rows.push_back(fields(line));
        return rows;
    }

    std::string log(const std::string& name) const {
        const auto bytes = pelorin::testing::readFileBytes(folder_.file(name));
        return "\n" + name + ":\n" + std::string(bytes.begin(), bytes.end());
    }

    const pelorin::testing::TemporaryFolder& folder() const { return folder_; }

private:
    static std::string chooseAddress() {
        const auto pid = static_cast<unsigned>(::getpid());
        return "127.25." + std::to_string((pid >> 8) % 256) + "." + std::to_string(pid % 254 + 1);
    }

    void writeFile(const std::string& name, const std::string& text) const {
        pelorin::testing::writeFileBytes(folder_.file(name), std::vector<std::uint8_t>(text.begin(), text.end()));
    }

    void writeConfigurations() const {
        const std::string logging =
            "log stderr\n logging color 0\n logging print category 1\n logging level all notice\n";
        writeFile("hlr.cfg", logging + "line vty\n bind " + address_ + " " + std::to_string(kHlrVtyPort) +
                                 "\nctrl\n bind " + address_ + "\nhlr\n gsup\n  bind ip " + address_ + "\n");
        writeFile("msc.cfg", logging + "line vty\n bind " + address_ + " " + std::to_string(kMscVtyPort) +
                                 "\nctrl\n bind " + address_ +
                                 "\nnetwork\n network country code 1\n mobile network code 1\n"
                                 "msc\n mgw remote-ip " +
                                 address_ + "\n mgw local-ip " + address_ + "\nhlr\n remote-ip " + address_ +
                                 "\nsgs\n local-ip " + address_ + "\nsmpp\n local-tcp-ip " + address_ + " " +
                                 std::to_string(kSmppPort) + "\n esme " + kSystemId + "\n  password " + kPassword +
                                 "\n  default-route\n"
                                 "smsc\n database " +
                                 database() +
                                 // Its SIGTRAN link to an STP (none runs) on this address as well.
                                 "\ncs7 instance 0\n asp asp-clnt-msc 2905 0 m3ua\n  remote-ip " + address_ +
                                 "\n  local-ip " + address_ + "\n");
    }

    pelorin::testing::TemporaryFolder folder_{"pelorin-osmocom"};
    std::string address_;
    std::unique_ptr<DaemonProcess> hlr_;
    std::unique_ptr<DaemonProcess> msc_;
};

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
    std::size_t documentSize;  // 0: no file
};

TEST(OsmocomPeerTest, EveryKindStoredAsTheSerialPdusSayOctetForOctet) {
    OsmocomNetwork network;
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
    };
    std::vector<std::vector<std::string>> expected;
    for (const auto& job : jobs) {
        std::vector<std::string> args = {job.kind, "--to", job.number};
        args.insert(args.end(), job.options.begin(), job.options.end());
        if (job.documentSize > 0)
            args.push_back(patternDocument(network.folder(), job.kind + ".plr", job.documentSize));

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
            ASSERT_EQ(pdu->userData.size(), pdu->userDataLength) << out[i];
            expected.push_back({pdu->addressDigits, std::to_string((pdu->typeOfAddress >> 4) & 0x07),
                                std::to_string(pdu->typeOfAddress & 0x0F), pdu->statusReportRequested() ? "1" : "0",
                                (pdu->firstOctet & 0x40) != 0 ? "1" : "0", std::to_string(pdu->dataCoding),
                                std::to_string(pdu->protocolIdentifier), hex(pdu->userData)});
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
    // One stored message a PDU: 1 + 1 + 1 + 3 + 2.
    EXPECT_EQ(expected.size(), 8u);
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
    OsmocomNetwork network;
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
