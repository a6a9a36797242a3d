#include "smsc/smpp_connection.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace pelorin::smsc {

namespace {
using Clock = std::chrono::steady_clock;
}  // namespace

bool SmppConnection::open(const std::string& host, std::uint16_t port, std::string& why) {
    close();
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int lookup = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (lookup != 0) {
        why = "cannot find " + host + ": " + ::gai_strerror(lookup);
        return false;
    }
    int error = 0;
    for (addrinfo* at = found; at != nullptr && fd_ < 0; at = at->ai_next) {
        const int fd = ::socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC, at->ai_protocol);
        if (fd < 0) continue;
        if (::connect(fd, at->ai_addr, at->ai_addrlen) == 0) {
            fd_ = fd;
            // A window is written at once (see sendAll); what is written
            // goes out without waiting for the answer to what went before.
            const int yes = 1;
            ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        } else {
            error = errno;
            ::close(fd);
        }
    }
    ::freeaddrinfo(found);
    if (fd_ < 0) why = "cannot connect to " + host + ":" + std::to_string(port) + ": " + std::strerror(error);
    buffer_.clear();
    return fd_ >= 0;
}

void SmppConnection::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool SmppConnection::sendAll(const std::uint8_t* data, std::size_t size, std::size_t* written) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::send(fd_, data + done, size - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (written != nullptr) *written = done;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool SmppConnection::receive(std::chrono::milliseconds timeout, Header& header, std::vector<std::uint8_t>& body) {
    body.clear();
    header = {};
    const auto until = Clock::now() + timeout;
    for (;;) {
        if (buffer_.size() >= kHeaderSize) {
            const auto read = readHeader(buffer_);
            if (!read) return false;
            if (buffer_.size() >= read->length) {
                header = *read;
                body.assign(buffer_.begin() + kHeaderSize, buffer_.begin() + read->length);
                buffer_.erase(buffer_.begin(), buffer_.begin() + read->length);
                return true;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        pollfd poller{fd_, POLLIN, 0};
        const int ready = ::poll(&poller, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return false;
        if (ready == 0) return true;
        std::uint8_t chunk[4096];
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        // Answers are acknowledged at once rather than after the kernel's
        // delay: a centre that holds its next answer until the last one is
        // acknowledged (Nagle's rule) would otherwise idle through that
        // delay every window. The kernel leaves this mode by itself, so it
        // is asked for again after each read.
        const int yes = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &yes, sizeof yes);
        buffer_.insert(buffer_.end(), chunk, chunk + n);
    }
}

}  // namespace pelorin::smsc
