#include "support/kannel_gateway.h"

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "phone/peer_support.h"
#include "support/loopback.h"
#include "support/process.h"

namespace pelorin::testing {

namespace {

using namespace std::chrono_literals;
using phone::peers::DaemonProcess;

constexpr const char* kBearerbox = "/usr/sbin/bearerbox";
constexpr const char* kSmsbox = "/usr/sbin/smsbox";

bool accepting(std::uint16_t port) {
    const int fd = connectLoopback(port);
    if (fd >= 0) ::close(fd);
    return fd >= 0;
}

}  // namespace

KannelGateway::KannelGateway() = default;
KannelGateway::~KannelGateway() = default;

std::string KannelGateway::url(const std::string& from) const {
    std::string url = "kannel://pelorin@127.0.0.1:" + std::to_string(sendsmsPort_) + "?smsc=centre";
    if (!from.empty()) url += "&from=" + from;
    return url;
}

std::string KannelGateway::log(const std::string& name) const { return readFileText(folder_.file(name)); }

std::string KannelGateway::start(const KannelCentre& centre) {
    if (::access(kBearerbox, X_OK) != 0) return "Kannel is missing: scripts/ensure-packages.sh installs it (kannel)";
    if (::access(kSmsbox, X_OK) != 0) return "Kannel's smsbox is missing (package kannel)";
    const auto adminPort = freeLoopbackPort();
    const auto boxPort = freeLoopbackPort();
    sendsmsPort_ = freeLoopbackPort();
    const std::string level = std::to_string(centre.logLevel);
    std::ofstream(folder_.file("kannel.conf"))
        << "group = core\nadmin-port = " << adminPort << "\nadmin-password = pelorin\nadmin-interface = 127.0.0.1"
        << "\nadmin-allow-ip = 127.0.0.1\nsmsbox-port = " << boxPort << "\nsmsbox-interface = 127.0.0.1"
        << "\nbox-allow-ip = 127.0.0.1\nlog-file = \"" << folder_.file("bearerbox.log") << "\"\nlog-level = " << level
        << "\naccess-log = \"" << folder_.file("access.log") << "\"\n\n"
        << "group = smsc\nsmsc = smpp\nsmsc-id = centre\nhost = " << centre.host << "\nport = " << centre.port
        << "\ntransceiver-mode = true\nsystem-type = VMA\nsmsc-username = " << centre.systemId
        << "\nsmsc-password = " << centre.password << "\nmax-pending-submits = " << centre.maxPendingSubmits
        << "\nlog-file = \"" << folder_.file("smsc.log") << "\"\nlog-level = " << level << "\n\n"
        << "group = smsbox\nbearerbox-host = 127.0.0.1\nbearerbox-port = " << boxPort
        << "\nsendsms-port = " << sendsmsPort_ << "\nsendsms-interface = 127.0.0.1\nlog-file = \""
        << folder_.file("smsbox.log") << "\"\nlog-level = " << level << "\n\n"
        << "group = sendsms-user\nusername = pelorin\npassword = " << kSendsmsPassword << "\n";
    bearerbox_ = std::make_unique<DaemonProcess>(std::vector<std::string>{kBearerbox, folder_.file("kannel.conf")},
                                                 folder_.path().string(), folder_.file("bearerbox.out"));
    // smsbox gives up when bearerbox is not there yet.
    if (!waitUntil([boxPort] { return accepting(boxPort); }, 20s))
        return "bearerbox does not listen:\n" + log("bearerbox.out");
    smsbox_ = std::make_unique<DaemonProcess>(std::vector<std::string>{kSmsbox, folder_.file("kannel.conf")},
                                              folder_.path().string(), folder_.file("smsbox.out"));
    if (!waitUntil([this] { return accepting(sendsmsPort_); }, 20s))
        return "smsbox does not listen:\n" + log("smsbox.out");
    if (centre.logLevel == 0 &&
        !waitUntil([this] { return log("smsc.log").find("type_name: bind_transceiver_resp") != std::string::npos; },
                   20s))
        return "Kannel did not bind to the SMS centre:\n" + log("smsc.log") + log("bearerbox.log");
    return {};
}

}  // namespace pelorin::testing
