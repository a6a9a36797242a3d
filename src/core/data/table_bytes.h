#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pelorin {

// The two built-in tables, compiled into the program from data/countries.tbl
// and data/operators.tbl. Both are plain ASCII, one row per line, every line
// ended by CR LF:
//   country table:  3 MCC digits, country name
//   operator table: 3 MCC digits, 2 MNC digits, operator name
// The readers open them with these fixed lengths; the build checks that the
// embedded bytes have exactly these sizes.
inline constexpr std::size_t kCountryTableSize = 1521;
inline constexpr std::size_t kOperatorTableSize = 5753;

std::span<const std::uint8_t> countryTableBytes();   // kCountryTableSize bytes
std::span<const std::uint8_t> operatorTableBytes();  // kOperatorTableSize bytes

}  // namespace pelorin
