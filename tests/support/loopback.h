#pragma once

// TCP on the loopback interface for tests of the SMS centre.

#include <cstdint>
#include <vector>

namespace pelorin::testing {

// A port nobody listens on right now (the kernel's pick, closed again).
std::uint16_t freeLoopbackPort();

// A connection to 127.0.0.1:port; -1 when it cannot be made.
int connectLoopback(std::uint16_t port);

// Everything written; false when the connection is gone.
bool sendAll(int fd, const std::vector<std::uint8_t>& bytes);

// One whole SMPP PDU (its length from the first four octets), waiting at most
// timeoutMs; empty when the connection closed or nothing came.
std::vector<std::uint8_t> readSmppPdu(int fd, int timeoutMs);

}  // namespace pelorin::testing
