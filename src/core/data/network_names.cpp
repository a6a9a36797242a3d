#include "data/network_names.h"

#include <vector>

#include "data/country_table.h"
#include "data/table_reader.h"

namespace pelorin {

NetworkNames lookUpNetwork(std::span<const std::uint8_t> countryTable, std::span<const std::uint8_t> operatorTable,
                           std::string_view mcc, std::string_view mnc) {
    std::vector<std::string> codes, names;
    loadCountries(countryTable, codes, names);

    NetworkNames result;
    std::size_t block = 0;
    std::string blockCode;
    bool first = true;
    scanTableLines(operatorTable, [&](std::string_view line) {
        if (result.operatorName || line.size() < 5) return;
        const std::string_view lineMcc = line.substr(0, 3);
        if (first) {
            blockCode = lineMcc;
            first = false;
        } else if (lineMcc != blockCode) {
            ++block;
            blockCode = lineMcc;
        }
        if (lineMcc != mcc || line.substr(3, 2) != mnc) return;
        result.operatorName = tableText(line.substr(5));
        if (block < codes.size() && codes[block] == mcc) result.country = names[block];
    });
    if (!result.country) {
        if (const auto index = findCountryByCode(codes, mcc)) result.country = names[*index];
    }
    return result;
}

}  // namespace pelorin
