#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// Appends one entry per line of a country table to the two parallel lists: the
// line's first three characters (the MCC) to `countryCodes` and the rest (the
// name) to `countryNames`. Nothing is sorted, trimmed or merged, so a code that
// occurs twice (310, 634) keeps both of its rows. A line shorter than three
// characters gives what it has as the code and an empty name.
void loadCountries(std::span<const std::uint8_t> countryTable, std::vector<std::string>& countryCodes,
                   std::vector<std::string>& countryNames);

// The lowest position whose code equals `code` exactly; for a code shared by
// two countries that is the one listed first.
std::optional<std::size_t> findCountryByCode(const std::vector<std::string>& countryCodes, std::string_view code);

}  // namespace pelorin
