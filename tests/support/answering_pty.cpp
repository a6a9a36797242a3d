#include "support/answering_pty.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

namespace pelorin::testing {

AnsweringPty::AnsweringPty(std::string reply) : reply_(std::move(reply)) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    const char* name = ::ptsname(master_);
    if (name == nullptr) return;
    path_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    thread_ = std::thread([this] { serve(); });
}

AnsweringPty::~AnsweringPty() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

void AnsweringPty::serve() {
    while (!stop_) {
        pollfd entry{master_, POLLIN, 0};
        if (::poll(&entry, 1, 20) <= 0 || (entry.revents & POLLIN) == 0) continue;
        char buffer[256];
        const ssize_t got = ::read(master_, buffer, sizeof buffer);
        if (got <= 0) continue;
        for (ssize_t i = 0; i < got; ++i) {
            if (buffer[i] != '\r' || reply_.empty()) continue;
            [[maybe_unused]] const ssize_t n = ::write(master_, reply_.data(), reply_.size());
        }
    }
}

}  // namespace pelorin::testing
