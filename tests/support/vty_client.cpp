#include "support/vty_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace pelorin::testing {

namespace {

constexpr unsigned char kIac = 0xFF;

// Removes telnet commands (IAC, a verb and its option; IAC IAC is a data
// octet) from the bytes received.
std::string withoutTelnet(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto octet = static_cast<unsigned char>(bytes[i]);
        if (octet != kIac) {
            out.push_back(bytes[i]);
        } else if (i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) == kIac) {
            out.push_back(bytes[i]);
            ++i;
        } else {
            i += 2;  // verb and option
        }
    }
    return out;
}

// A prompt is the last line, a name followed by "> " or "# ".
bool endsWithPrompt(const std::string& text) {
    if (text.size() < 2) return false;
    const std::string tail = text.substr(text.size() - 2);
    if (tail != "> " && tail != "# ") return false;
    const std::size_t lineStart = text.find_last_of('\n');
    const std::string line = text.substr(lineStart == std::string::npos ? 0 : lineStart + 1);
    return line.size() > 2 && line.find(' ') == line.size() - 1;
}

}  // namespace

VtyClient::~VtyClient() {
    if (fd_ >= 0) ::close(fd_);
}

bool VtyClient::connect(const std::string& host, int port, int seconds, std::string* why) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
        if (why) *why = "not an IPv4 address: " + host;
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int lastError = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd_ < 0) break;
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            std::string greeting;
            if (readToPrompt(greeting, seconds)) return true;
            if (why) *why = "no prompt from " + host + ":" + std::to_string(port) + " after: " + greeting;
            return false;
        }
        lastError = errno;
        ::close(fd_);
        fd_ = -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (why) *why = "cannot connect to " + host + ":" + std::to_string(port) + ": " + std::strerror(lastError);
    return false;
}

std::string VtyClient::command(const std::string& line, bool* ok, int seconds) {
    if (ok) *ok = false;
    if (fd_ < 0) return {};
    const std::string sent = line + "\r\n";
    if (::send(fd_, sent.data(), sent.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(sent.size())) return {};
    std::string text;
    if (!readToPrompt(text, seconds)) return text;
    if (ok) *ok = true;
    // The daemon echoes the command on the first line and ends with the prompt.
    const std::size_t firstEnd = text.find('\n');
    const std::size_t promptStart = text.find_last_of('\n');
    if (firstEnd == std::string::npos || promptStart <= firstEnd) return {};
    return text.substr(firstEnd + 1, promptStart - firstEnd);
}

bool VtyClient::readToPrompt(std::string& text, int seconds) {
    std::string raw;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (true) {
        text = withoutTelnet(raw);
        if (endsWithPrompt(text)) return true;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) return false;
        pollfd wanted{fd_, POLLIN, 0};
        if (::poll(&wanted, 1, static_cast<int>(left)) <= 0) continue;
        char buffer[4096];
        const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
        if (got <= 0) return false;
        raw.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace pelorin::testing
