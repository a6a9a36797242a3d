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

// The start of a PNG that says it is 20,000 x 20,000 grey pixels: its header
// and a first block of rows. A reader learns the size from it without
// decoding the rest.
std::vector<std::uint8_t> hugePngStart();

}  // namespace pelorin::testing
