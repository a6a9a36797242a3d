#pragma once

// A small client for the telnet-style command line (VTY) that network
// daemons of the Osmocom family offer on TCP: it connects, drops the telnet
// negotiation they send, and runs one command at a time up to the next prompt.

#include <string>

namespace pelorin::testing {

class VtyClient {
public:
    VtyClient() = default;
    ~VtyClient();
    VtyClient(const VtyClient&) = delete;
    VtyClient& operator=(const VtyClient&) = delete;

    // Connects to host:port, trying again until the daemon listens or
    // seconds have passed, and reads the greeting up to the first prompt.
    // On failure returns false and says why.
    bool connect(const std::string& host, int port, int seconds, std::string* why);

    // Sends one command line and returns what the daemon printed before its
    // next prompt (the echoed command removed); empty with *ok false when
    // no prompt came within seconds.
    std::string command(const std::string& line, bool* ok = nullptr, int seconds = 10);

private:
    bool readToPrompt(std::string& text, int seconds);

    int fd_ = -1;
};

}  // namespace pelorin::testing
