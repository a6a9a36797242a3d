#include "phone/smpp_centre.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <list>

#include "phone/smpp_fields.h"

namespace pelorin::phone {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kBindReceiver = 0x01, kBindTransmitter = 0x02, kSubmit = 0x04, kDeliver = 0x05, kUnbind = 0x06,
                        kBindTransceiver = 0x09, kEnquireLink = 0x15, kResponse = 0x80000000;

std::uint32_t be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void add32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::vector<std::uint8_t> pdu(std::uint32_t id, std::uint32_t status, std::uint32_t sequence,
                              const std::vector<std::uint8_t>& body = {}) {
    std::vector<std::uint8_t> out;
    add32(out, static_cast<std::uint32_t>(16 + body.size()));
    add32(out, id);
    add32(out, status);
    add32(out, sequence);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<std::uint8_t> textBody(const std::string& text) {
    std::vector<std::uint8_t> body(text.begin(), text.end());
    body.push_back(0);
    return body;
}

struct Receipt {
    Clock::time_point due;
    std::string messageId;
    std::string destination;
};

struct Client {
    int fd = -1;
    std::vector<std::uint8_t> in;
    std::vector<std::uint8_t> out;
    bool bound = false;
    bool receives = false;  // bound as transceiver or receiver
    unsigned submits = 0;
    std::uint32_t sequence = 0;
    std::list<Receipt> receipts;
    bool closing = false;
};

}  // namespace

SmppCentre::SmppCentre(CentreOptions options) : options_(std::move(options)) {}

SmppCentre::~SmppCentre() { stop(); }

Result<std::uint16_t> SmppCentre::start(Deliver deliver) {
    deliver_ = std::move(deliver);
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) return Result<std::uint16_t>::failure(std::string("socket: ") + std::strerror(errno));
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(options_.port);
    if (::inet_pton(AF_INET, options_.host.c_str(), &address.sin_addr) != 1)
        return Result<std::uint16_t>::failure("--smpp: not an IPv4 address: " + options_.host);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 16) != 0)
        return Result<std::uint16_t>::failure("--smpp " + options_.host + ":" + std::to_string(options_.port) + ": " +
                                              std::strerror(errno));
    socklen_t size = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    if (::pipe2(wake_, O_CLOEXEC) != 0) return Result<std::uint16_t>::failure(std::strerror(errno));
    thread_ = std::thread([this] { serve(); });
    return static_cast<std::uint16_t>(ntohs(address.sin_port));
}

void SmppCentre::stop() {
    if (thread_.joinable()) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(wake_[1], &byte, 1);
        thread_.join();
    }
    for (int* fd : {&listener_, &wake_[0], &wake_[1]}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

void SmppCentre::serve() {
    std::list<Client> clients;
    unsigned totalSubmits = 0;
    unsigned long nextId = 1;
    for (;;) {
        const auto now = Clock::now();
        int timeout = 1000;
        for (auto& client : clients) {
            for (auto receipt = client.receipts.begin(); receipt != client.receipts.end();) {
                if (receipt->due > now) {
                    timeout = std::min<int>(
                        timeout,
                        static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(receipt->due - now).count()));
                    ++receipt;
                    continue;
                }
                // A receipt as osmo-msc and most centres give it: the
                // standard text and both TLVs.
                std::time_t seconds = std::time(nullptr);
                std::tm local{};
                ::gmtime_r(&seconds, &local);
                char stamp[16];
                std::strftime(stamp, sizeof stamp, "%y%m%d%H%M", &local);
                const std::string text = "id:" + receipt->messageId + " sub:001 dlvrd:001 submit date:" + stamp +
                                         " done date:" + stamp + " stat:DELIVRD err:000 text:";
                std::vector<std::uint8_t> body = {0, 1, 1};
                body.insert(body.end(), receipt->destination.begin(), receipt->destination.end());
                body.insert(body.end(), {0, 0, 0, 0, 0x04, 0, 0, 0, 0, 0, 0, 0, 0});
                body.push_back(static_cast<std::uint8_t>(text.size()));
                body.insert(body.end(), text.begin(), text.end());
                body.insert(body.end(), {0x00, 0x1E, 0x00, static_cast<std::uint8_t>(receipt->messageId.size() + 1)});
                body.insert(body.end(), receipt->messageId.begin(), receipt->messageId.end());
                body.insert(body.end(), {0, 0x04, 0x27, 0x00, 0x01, 0x02});
                const auto out = pdu(kDeliver, 0, ++client.sequence, body);
                client.out.insert(client.out.end(), out.begin(), out.end());
                receipt = client.receipts.erase(receipt);
            }
        }
        std::vector<pollfd> fds{{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
        for (auto& client : clients)
            fds.push_back({client.fd, static_cast<short>(POLLIN | (client.out.empty() ? 0 : POLLOUT)), 0});
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) return;
        if (fds[0].revents != 0) break;
        if (fds[1].revents & POLLIN) {
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd >= 0) {
                clients.emplace_back();
                clients.back().fd = fd;
            }
        }
        std::size_t index = 2;
        for (auto client = clients.begin(); client != clients.end(); ++index) {
            const short events = index < fds.size() ? fds[index].revents : 0;
            bool gone = false;
            if (events & POLLOUT) {
                const ssize_t n = ::send(client->fd, client->out.data(), client->out.size(), MSG_NOSIGNAL);
                if (n > 0)
                    client->out.erase(client->out.begin(), client->out.begin() + n);
                else if (n < 0 && errno != EAGAIN && errno != EINTR)
                    gone = true;
            }
            if (events & (POLLIN | POLLHUP | POLLERR)) {
                std::uint8_t chunk[8192];
                const ssize_t n = ::recv(client->fd, chunk, sizeof chunk, 0);
                if (n > 0)
                    client->in.insert(client->in.end(), chunk, chunk + n);
                else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                    gone = true;
            }
            while (!gone && client->in.size() >= 16) {
                const std::uint32_t length = be32(client->in.data());
                if (length < 16 || length > 65536) {
                    gone = true;
                    break;
                }
                if (client->in.size() < length) break;
                const std::uint32_t id = be32(client->in.data() + 4);
                const std::uint32_t sequence = be32(client->in.data() + 12);
                const std::vector<std::uint8_t> body(client->in.begin() + 16, client->in.begin() + length);
                client->in.erase(client->in.begin(), client->in.begin() + length);
                auto answer = [&](std::uint32_t status, const std::vector<std::uint8_t>& answerBody) {
                    const auto out = pdu(id | kResponse, status, sequence, answerBody);
                    client->out.insert(client->out.end(), out.begin(), out.end());
                };
                if (id == kBindTransmitter || id == kBindTransceiver || id == kBindReceiver) {
                    SmppFields fields(body);
                    const std::string systemId = fields.text(15);
                    const std::string password = fields.text(8);
                    if (fields.failed)
                        answer(0x0D, {});
                    else if (client->bound)
                        answer(0x05, {});
                    else if (systemId != options_.systemId)
                        answer(0x0F, {});
                    else if (password != options_.password)
                        answer(0x0E, {});
                    else {
                        client->bound = true;
                        client->receives = id != kBindTransmitter;
                        answer(0, textBody("pelorin-phone"));
                    }
                } else if (id == kEnquireLink) {
                    answer(0, {});
                } else if (id == kUnbind) {
                    answer(0, {});
                    client->closing = true;
                } else if (id == kSubmit) {
                    if (!client->bound) {
                        answer(0x04, {});
                        continue;
                    }
                    ++client->submits;
                    if (options_.dropAfter != 0 && client->submits >= options_.dropAfter) {
                        gone = true;  // the submit is lost with the line: never answered, never stored
                        break;
                    }
                    ++totalSubmits;
                    if (options_.throttleEvery != 0 && totalSubmits % options_.throttleEvery == 0) {
                        answer(0x58, {});
                        continue;
                    }
                    const auto submit = readCentreSubmit(body);
                    if (!submit) {
                        answer(0x01, {});
                        continue;
                    }
                    if (const auto fail = options_.failFor.find(submit->destination); fail != options_.failFor.end()) {
                        answer(fail->second, {});
                        continue;
                    }
                    const auto tpdu = submitTpdu(submit.value());
                    const auto message = tpdu ? decodeSubmit(tpdu.value()) : Result<SubmitMessage>::failure("");
                    if (!tpdu) {
                        answer(0x0B, {});
                    } else if (std::size_t septets = 0; !message || airUserData(submit.value(), septets).size() > 140) {
                        answer(0x01, {});
                    } else if (!deliver_(message.value())) {
                        answer(0x08, {});
                    } else {
                        const std::string messageId = std::to_string(nextId++);
                        answer(0, textBody(messageId));
                        if ((submit->registeredDelivery & 0x01) && client->receives)
                            client->receipts.push_back(
                                {Clock::now() + options_.receiptDelay, messageId, submit->destination});
                    }
                } else if ((id & kResponse) == 0) {
                    const auto out = pdu(0x80000000, 0x03, sequence);
                    client->out.insert(client->out.end(), out.begin(), out.end());
                }
            }
            if (client->closing && client->out.empty()) gone = true;
            if (gone) {
                ::close(client->fd);
                client = clients.erase(client);
            } else {
                ++client;
            }
        }
    }
    for (auto& client : clients) ::close(client.fd);
}

}  // namespace pelorin::phone
