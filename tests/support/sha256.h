#pragma once

// SHA-256 of a byte block, as 64 lower-case hex digits; for tests that pin
// data down to the exact bytes.

#include <cstdint>
#include <span>
#include <string>

namespace pelorin::testing {

std::string sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace pelorin::testing
