#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// One operator of a country as the operator list shows it.
struct OperatorEntry {
    std::string name;  // the line from index 5 on
    std::string mnc;   // the two characters at index 3 and 4

    friend bool operator==(const OperatorEntry&, const OperatorEntry&) = default;
};

// Scans the whole operator table (it does not stop after the first block, so a
// country code with two blocks yields both) and returns, in table order, every
// line whose first three characters equal `countryCode` exactly. Parts of a
// short line that are not there come back as shorter or empty texts.
std::vector<OperatorEntry> scanOperators(std::span<const std::uint8_t> operatorTable, std::string_view countryCode);

// The first entry, in scan order, whose MNC equals the two characters of
// `operatorCode`; nothing unless `operatorCode` holds exactly two characters.
std::optional<std::size_t> findOperatorByCode(const std::vector<OperatorEntry>& operators,
                                              std::string_view operatorCode);

}  // namespace pelorin
