// Kannel's bearerbox and smsbox with an AT connection (smsc = at) on the
// simulated phone: a text the test puts in the phone while Kannel is
// connected must be announced as Kannel's AT+CNMI asks (the message itself,
// +CMT, or its place, +CMTI, then read with AT+CMGR), reach smsbox and its
// sms-service, whose get-url is a small HTTP listener run by the test; the
// listener's answer goes back as Kannel's reply through the phone. Kannel
// runs with its configuration and logs in a temporary folder, on loopback
// ports that were free, and is stopped when the test ends.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>

#include "peer_support.h"
#include "support/deliver_builder.h"
#include "support/phone_process.h"

namespace pelorin::phone {
namespace {

using namespace peers;
using namespace std::chrono_literals;
constexpr const char* kBearerbox = "/usr/sbin/bearerbox";
constexpr const char* kSmsbox = "/usr/sbin/smsbox";

// A loopback socket on a port the system chose.
int listeningSocket(unsigned& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (fd >= 0) ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

// A port that was free a moment ago, for Kannel to listen on.
unsigned freePort() {
    unsigned port = 0;
    const int fd = listeningSocket(port);
    if (fd >= 0) ::close(fd);
    return port;
}

// Answers every HTTP request with a fixed text and keeps the request lines.
class HttpListener {
public:
    explicit HttpListener(std::string reply) : reply_(std::move(reply)) {
        fd_ = listeningSocket(port_);
        if (fd_ >= 0) thread_ = std::thread([this] { serve(); });
    }
    ~HttpListener() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (fd_ >= 0) ::close(fd_);
    }
    unsigned port() const { return port_; }
    std::vector<std::string> requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    void serve() {
        while (!stop_) {
            pollfd listening{fd_, POLLIN, 0};
            if (::poll(&listening, 1, 100) <= 0) continue;
            const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            std::string request;
            char buffer[2048];
            while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
                pollfd in{client, POLLIN, 0};
                if (::poll(&in, 1, 2000) <= 0) break;
                const ssize_t got = ::read(client, buffer, sizeof buffer);
                if (got <= 0) break;
                request.append(buffer, static_cast<std::size_t>(got));
            }
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(request.substr(0, request.find("\r\n")));
            }
            const std::string answer =
                "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(reply_.size()) +
                "\r\nConnection: close\r\n\r\n" + reply_;
            [[maybe_unused]] const ssize_t sent = ::write(client, answer.data(), answer.size());
            ::close(client);
        }
    }

    std::string reply_;
    int fd_ = -1;
    unsigned port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

bool accepting(unsigned port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool connected = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) ::close(fd);
    return connected;
}

bool waitFor(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(100ms);
    }
    return done();
}

struct Announcement {
    const char* name;
    const char* cnmi;       // the modem's init string
    const char* readsWith;  // what Kannel must send to fetch and delete the message, "" for none
};

void PrintTo(const Announcement& announcement, std::ostream* out) { *out << announcement.name; }

class KannelPeerTest : public ::testing::TestWithParam<Announcement> {
protected:
    void SetUp() override {
        ASSERT_EQ(::access(kBearerbox, X_OK), 0)
            << "Kannel is missing: scripts/ensure-packages.sh installs it (kannel)";
        ASSERT_EQ(::access(kSmsbox, X_OK), 0) << "Kannel's smsbox is missing (package kannel)";
        ASSERT_TRUE(phone.started());
        ASSERT_NE(http.port(), 0u);
        const unsigned adminPort = freePort();
        boxPort = freePort();
        ASSERT_NE(adminPort, 0u);
        ASSERT_NE(boxPort, 0u);
        std::ofstream(folder.file("kannel.conf"))
            << "group = core\nadmin-port = " << adminPort << "\nadmin-password = pelorin\nadmin-interface = 127.0.0.1"
            << "\nadmin-allow-ip = 127.0.0.1\nsmsbox-port = " << boxPort << "\nsmsbox-interface = 127.0.0.1"
            << "\nbox-allow-ip = 127.0.0.1\nlog-file = \"" << folder.file("bearerbox.log") << "\"\nlog-level = 0"
            << "\naccess-log = \"" << folder.file("access.log") << "\"\n\n"
            << "group = smsc\nsmsc = at\nsmsc-id = phone\ndevice = " << phone.devicePath()
            << "\nmodemtype = auto\nspeed = 115200\nmy-number = +491701234567\nlog-file = \"" << folder.file("smsc.log")
            << "\"\nlog-level = 0\n\n"
            << "group = modems\nid = pelorin\nname = \"Pelorin simulated phone\"\ndetect-string = \"Pelorin\"\n"
            << "init-string = \"" << GetParam().cnmi << "\"\n\n"
            << "group = smsbox\nbearerbox-host = 127.0.0.1\nbearerbox-port = " << boxPort << "\nlog-file = \""
            << folder.file("smsbox.log") << "\"\nlog-level = 0\n\n"
            << "group = sms-service\nkeyword = default\ncatch-all = true\nget-url = \"http://127.0.0.1:" << http.port()
            << "/sms?from=%p&text=%a\"\n";
    }
    unsigned boxPort = 0;
    std::string log(const char* name) { return pelorin::testing::readFileText(folder.file(name)); }

    pelorin::testing::TemporaryFolder folder{"pelorin-kannel"};
    pelorin::testing::TemporaryFolder store{"pelorin-kannel-store"};
    pelorin::testing::PhoneProcess phone{PELORIN_PHONE_PATH,
                                         {"--quiet", "--network", "262-02", "--store", store.path().string(),
                                          "--inbox-from-stdin", "--transcript", folder.file("transcript.txt")}};
    HttpListener http{"Got it"};
};

TEST_P(KannelPeerTest, ReceivesATextPutInThePhoneAndRepliesThroughIt) {
    DaemonProcess bearerbox({kBearerbox, folder.file("kannel.conf")}, folder.path().string(),
                            folder.file("bearerbox.out"));
    // smsbox gives up when bearerbox is not there yet.
    ASSERT_TRUE(waitFor([this] { return accepting(boxPort); }, 20s)) << log("bearerbox.out");
    DaemonProcess smsbox({kSmsbox, folder.file("kannel.conf")}, folder.path().string(), folder.file("smsbox.out"));
    ASSERT_TRUE(
        waitFor([this] { return log("smsc.log").find("AT SMSC successfully opened") != std::string::npos; }, 30s))
        << log("smsc.log") << log("bearerbox.out");

    // "Hello Kannel" from +4912345 in GSM 7-bit, as the network would hand it over.
    const std::string text = "Hello Kannel";
    pelorin::testing::Deliver deliver{{}, pelorin::testing::DeliverOctets(text.begin(), text.end()), 0x00};
    ASSERT_TRUE(phone.writeInput(deliver.hex() + "\n"));

    ASSERT_TRUE(waitFor([this] { return !http.requests().empty(); }, 20s)) << log("smsc.log") << log("smsbox.out");
    EXPECT_EQ(http.requests().at(0), "GET /sms?from=%2B4912345&text=Hello+Kannel HTTP/1.1") << log("smsbox.log");
    EXPECT_NE(log("access.log").find("[from:+4912345] [to:+491701234567]"), std::string::npos) << log("access.log");
    const std::string transcript = log("transcript.txt");
    EXPECT_NE(transcript.find(std::string(GetParam().cnmi) + "\r"), std::string::npos) << transcript;
    if (*GetParam().readsWith != '\0') {
        EXPECT_NE(transcript.find(GetParam().readsWith), std::string::npos) << transcript;
    } else {
        EXPECT_EQ(transcript.find("AT+CMGR"), std::string::npos) << transcript;
    }

    // smsbox sends the listener's answer back to the sender through the phone.
    ASSERT_TRUE(waitFor([this] { return !pelorin::testing::readPhoneLog(store.path()).empty(); }, 20s))
        << log("smsc.log");
    const auto entries = pelorin::testing::readPhoneLog(store.path());
    EXPECT_EQ(entries.at(0).at("kind"), "text-message");
    EXPECT_EQ(entries.at(0).at("number"), "+4912345");
    EXPECT_EQ(entries.at(0).at("text"), "Got it");
}

INSTANTIATE_TEST_SUITE_P(Announcements, KannelPeerTest,
                         ::testing::Values(Announcement{"MessageItself", "AT+CNMI=1,2,0,1,0", ""},
                                           Announcement{"StoredMessage", "AT+CNMI=1,1,0,0,0",
                                                        "AT+CMGR=1\rAT+CMGD=1\r"}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace pelorin::phone
