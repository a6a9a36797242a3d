#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pelorin {

// The country and operator names the built-in tables give a network code.
struct NetworkNames {
    std::optional<std::string> country;
    std::optional<std::string> operatorName;
};

// The operator is the first row with both codes. Its country is the country
// row of the block that row stands in (the operator table has one block per
// country row, in the same order), so 310-02 is in the U.S.A. although 310 is
// also Papua New Guinea's code. Without an operator row, the country is the
// first one with the code.
NetworkNames lookUpNetwork(std::span<const std::uint8_t> countryTable, std::span<const std::uint8_t> operatorTable,
                           std::string_view mcc, std::string_view mnc);

}  // namespace pelorin
