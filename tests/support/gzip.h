#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelorin::testing {

// gzip of head, then body repeats times, then tail, compressed as it is made:
// the result stays small however much it unpacks to (a decompression bomb
// for a large repeats).
std::vector<std::uint8_t> gzipped(const std::string& head, const std::string& body, int repeats,
                                  const std::string& tail);

}  // namespace pelorin::testing
