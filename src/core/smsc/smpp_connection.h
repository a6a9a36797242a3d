#pragma once

// The TCP line to an SMPP centre: whole PDUs written and read, nothing more.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "smsc/smpp_pdu.h"

namespace pelorin::smsc {

class SmppConnection {
public:
    SmppConnection() = default;
    SmppConnection(const SmppConnection&) = delete;
    SmppConnection& operator=(const SmppConnection&) = delete;
    ~SmppConnection() { close(); }

    // Connects to the first address of host that answers; false with why.
    bool open(const std::string& host, std::uint16_t port, std::string& why);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    bool send(const std::vector<std::uint8_t>& pdu) { return sendAll(pdu.data(), pdu.size(), nullptr); }

    // Writes size octets; false when the line is lost, with *written (when
    // given) how many of them went out before.
    bool sendAll(const std::uint8_t* data, std::size_t size, std::size_t* written);

    // The next whole PDU, waiting at most timeout. Returns false when the
    // line is lost or the centre sends a header that cannot be true; true
    // with pdu empty when nothing came in time.
    bool receive(std::chrono::milliseconds timeout, Header& header, std::vector<std::uint8_t>& body);

private:
    int fd_ = -1;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace pelorin::smsc
