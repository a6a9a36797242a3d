#include "data/country_table.h"

#include <algorithm>

#include "data/table_reader.h"

namespace pelorin {

void loadCountries(std::span<const std::uint8_t> countryTable, std::vector<std::string>& countryCodes,
                   std::vector<std::string>& countryNames) {
    constexpr std::size_t kCodeLength = 3;
    scanTableLines(countryTable, [&](std::string_view line) {
        const std::size_t split = std::min(line.size(), kCodeLength);
        countryCodes.push_back(tableText(line.substr(0, split)));
        countryNames.push_back(tableText(line.substr(split)));
    });
}

std::optional<std::size_t> findCountryByCode(const std::vector<std::string>& countryCodes, std::string_view code) {
    const auto found = std::find(countryCodes.begin(), countryCodes.end(), code);
    if (found == countryCodes.end()) return std::nullopt;
    return static_cast<std::size_t>(found - countryCodes.begin());
}

}  // namespace pelorin
