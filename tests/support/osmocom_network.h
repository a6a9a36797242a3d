#pragma once

// Osmocom's core network as an SMS centre for the peer tests and the
// benchmarks: osmo-hlr with a subscriber made over its VTY and osmo-msc with
// its SMPP interface, both on a loopback address of their own, in a
// temporary folder with their own configuration and databases.
//
// osmo-msc opens SCTP sockets (its SGs server, its SIGTRAN link) and stops
// when the kernel has no SCTP; it runs with the SCTP-over-TCP fixture of
// tests/support/sctp_over_tcp preloaded, which changes nothing where the
// kernel has SCTP. Nothing here uses those links.

#include <memory>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace pelorin::phone::peers {
class DaemonProcess;
}

namespace pelorin::testing {

class OsmocomNetwork {
public:
    static constexpr const char* kSubscriberImsi = "001010000000001";
    static constexpr const char* kSubscriberMsisdn = "4915112345678";
    static constexpr const char* kSystemId = "pelorin";
    static constexpr const char* kPassword = "s3cret";
    // A second account, for a gateway (Kannel) bound beside pelorin.
    static constexpr const char* kGatewaySystemId = "gateway";
    static constexpr const char* kGatewayPassword = "gatepw";
    static constexpr int kSmppPort = 2775;

    // sctpOverTcp: the path of the preloaded fixture.
    explicit OsmocomNetwork(std::string sctpOverTcp);
    ~OsmocomNetwork();
    OsmocomNetwork(const OsmocomNetwork&) = delete;
    OsmocomNetwork& operator=(const OsmocomNetwork&) = delete;

    const std::string& address() const { return address_; }
    std::string smscUrl() const;
    std::string database() const { return folder_.file("msc.db"); }

    // Starts both daemons and makes the subscriber; on failure says why.
    std::string start();

    // The SMS table, one row a message in the order stored: destination,
    // its type of number and numbering plan, status report asked, header
    // indicator, data coding, protocol id, the user data in hex.
    std::vector<std::vector<std::string>> storedMessages() const;
    // How many messages the SMS table holds; -1 when it cannot be read.
    long storedCount() const;
    // Empties the SMS table (osmo-msc goes on running); false when it cannot.
    bool clearStored() const;

    // The named log file of the folder, headed by its name.
    std::string log(const std::string& name) const;
    const TemporaryFolder& folder() const { return folder_; }

private:
    void writeFile(const std::string& name, const std::string& text) const;
    void writeConfigurations() const;

    TemporaryFolder folder_{"pelorin-osmocom"};
    std::string sctpOverTcp_;
    std::string address_;
    std::unique_ptr<phone::peers::DaemonProcess> hlr_;
    std::unique_ptr<phone::peers::DaemonProcess> msc_;
};

}  // namespace pelorin::testing
