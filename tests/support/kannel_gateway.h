#pragma once

// Kannel's bearerbox and smsbox for the peer tests and the benchmarks, with
// their configuration and logs in a temporary folder, on loopback ports that
// were free, and one SMPP connection (smsc = smpp, smsc-id "centre", as a
// transceiver) to an SMS centre. Sends are taken by smsbox's sendsms with
// the user "pelorin" and the password kSendsmsPassword.

#include <cstdint>
#include <memory>
#include <string>

#include "support/temp_folder.h"

namespace pelorin::phone::peers {
class DaemonProcess;
}

namespace pelorin::testing {

struct KannelCentre {
    std::string host = "127.0.0.1";
    std::uint16_t port = 0;
    std::string systemId;
    std::string password;
    // Kannel's log level for its own logs (0: everything, each PDU decoded).
    int logLevel = 0;
    // Submits Kannel keeps outstanding on the SMPP connection.
    int maxPendingSubmits = 10;
};

class KannelGateway {
public:
    static constexpr const char* kSendsmsPassword = "gateway-secret";

    KannelGateway();
    ~KannelGateway();
    KannelGateway(const KannelGateway&) = delete;
    KannelGateway& operator=(const KannelGateway&) = delete;

    // Starts bearerbox, then smsbox once bearerbox listens for it; with log
    // level 0, waits for the SMPP bind as well (bearerbox takes sendsms
    // requests before it is bound). On failure says why.
    std::string start(const KannelCentre& centre);

    std::uint16_t sendsmsPort() const { return sendsmsPort_; }
    // The kannel:// address of smsbox, sending through the centre.
    std::string url(const std::string& from = "Pelorin") const;
    // The named log file of the folder ("smsc.log", "bearerbox.log", ...).
    std::string log(const std::string& name) const;

private:
    TemporaryFolder folder_{"pelorin-kannel"};
    std::uint16_t sendsmsPort_ = 0;
    std::unique_ptr<phone::peers::DaemonProcess> bearerbox_;
    std::unique_ptr<phone::peers::DaemonProcess> smsbox_;
};

}  // namespace pelorin::testing
