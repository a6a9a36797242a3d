#include "support/osmocom_network.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "phone/peer_support.h"
#include "support/process.h"
#include "support/vty_client.h"

namespace pelorin::testing {

namespace {

using phone::peers::DaemonProcess;

constexpr const char* kHlr = "/usr/bin/osmo-hlr";
constexpr const char* kMsc = "/usr/bin/osmo-msc";
constexpr const char* kSqlite = "/usr/bin/sqlite3";
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

// An address of 127/8 chosen from the process id, so that the daemons'
// fixed ports (GSUP, CTRL, MGCP) never meet those of another run on the
// same machine.
std::string chooseAddress() {
    const auto pid = static_cast<unsigned>(::getpid());
    return "127.25." + std::to_string((pid >> 8) % 256) + "." + std::to_string(pid % 254 + 1);
}

}  // namespace

OsmocomNetwork::OsmocomNetwork(std::string sctpOverTcp)
    : sctpOverTcp_(std::move(sctpOverTcp)), address_(chooseAddress()) {}

OsmocomNetwork::~OsmocomNetwork() = default;

std::string OsmocomNetwork::smscUrl() const {
    return "smpp://" + std::string(kSystemId) + "@" + address_ + ":" + std::to_string(kSmppPort);
}

std::string OsmocomNetwork::start() {
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
    VtyClient hlrVty;
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
        std::vector<std::string>{"/usr/bin/env", "LD_PRELOAD=" + sctpOverTcp_, kMsc, "-c", folder_.file("msc.cfg")},
        folder_.path().string(), folder_.file("msc.log"));
    VtyClient mscVty;
    if (!mscVty.connect(address_, kMscVtyPort, 20, &why)) return "osmo-msc: " + why + log("msc.log");
    // The VTY listens before the SMPP interface is open: wait for the
    // line osmo-msc logs when it is.
    for (int i = 0; i < 200; ++i) {
        if (log("msc.log").find("SMPP at " + address_) != std::string::npos) return {};
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "osmo-msc did not open SMPP" + log("msc.log");
}

std::vector<std::vector<std::string>> OsmocomNetwork::storedMessages() const {
    const auto result = runProcess(kSqlite, {"-batch", "-noheader", "-separator", "|", database(),
                                             "SELECT dest_addr, dest_ton, dest_npi, status_rep_req, ud_hdr_ind, "
                                             "data_coding_scheme, protocol_id, hex(user_data) FROM SMS ORDER BY id"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    std::vector<std::vector<std::string>> rows;
    for (const auto& line : lines(result.out)) rows.push_back(fields(line));
    return rows;
}

long OsmocomNetwork::storedCount() const {
    const auto result = runProcess(kSqlite, {"-batch", "-noheader", database(), "SELECT count(*) FROM SMS"});
    if (result.exitStatus != 0) return -1;
    try {
        return std::stol(result.out);
    } catch (const std::exception&) {
        return -1;
    }
}

bool OsmocomNetwork::clearStored() const {
    return runProcess(kSqlite, {"-batch", database(), "DELETE FROM SMS"}).exitStatus == 0;
}

std::string OsmocomNetwork::log(const std::string& name) const {
    const auto bytes = readFileBytes(folder_.file(name));
    return "\n" + name + ":\n" + std::string(bytes.begin(), bytes.end());
}

void OsmocomNetwork::writeFile(const std::string& name, const std::string& text) const {
    writeFileBytes(folder_.file(name), std::vector<std::uint8_t>(text.begin(), text.end()));
}

void OsmocomNetwork::writeConfigurations() const {
    const std::string logging = "log stderr\n logging color 0\n logging print category 1\n logging level all notice\n";
    writeFile("hlr.cfg", logging + "line vty\n bind " + address_ + " " + std::to_string(kHlrVtyPort) +
                             "\nctrl\n bind " + address_ + "\nhlr\n gsup\n  bind ip " + address_ + "\n");
    writeFile("msc.cfg", logging + "line vty\n bind " + address_ + " " + std::to_string(kMscVtyPort) +
                             "\nctrl\n bind " + address_ +
                             "\nnetwork\n network country code 1\n mobile network code 1\n"
                             "msc\n mgw remote-ip " +
                             address_ + "\n mgw local-ip " + address_ + "\nhlr\n remote-ip " + address_ +
                             "\nsgs\n local-ip " + address_ + "\nsmpp\n local-tcp-ip " + address_ + " " +
                             std::to_string(kSmppPort) + "\n esme " + kSystemId + "\n  password " + kPassword +
                             "\n  default-route\n esme " + kGatewaySystemId + "\n  password " + kGatewayPassword +
                             "\nsmsc\n database " + database() +
                             // Its SIGTRAN link to an STP (none runs) on this address as well.
                             "\ncs7 instance 0\n asp asp-clnt-msc 2905 0 m3ua\n  remote-ip " + address_ +
                             "\n  local-ip " + address_ + "\n");
}

}  // namespace pelorin::testing
