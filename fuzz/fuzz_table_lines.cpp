// Feeds arbitrary bytes as a table to the country loader and the operator scan,
// and the first bytes as the codes to look up. Everything read must stay inside
// the data; the fuzzer's buffer is exactly the input's size.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/country_table.h"
#include "data/operator_table.h"
#include "data/table_reader.h"
#include "settings/port_choice.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> table(data, size);

    std::vector<std::string> codes;
    std::vector<std::string> names;
    pelorin::loadCountries(table, codes, names);
    if (codes.size() != names.size()) __builtin_trap();

    const std::string_view head(reinterpret_cast<const char*>(data), size < 5 ? size : 5);
    const std::string countryCode = pelorin::tableText(head.substr(0, head.size() < 3 ? head.size() : 3));
    (void)pelorin::findCountryByCode(codes, countryCode);

    const auto operators = pelorin::scanOperators(table, countryCode);
    const std::string operatorCode = pelorin::tableText(head.size() > 3 ? head.substr(3) : std::string_view{});
    if (const auto found = pelorin::findOperatorByCode(operators, operatorCode)) {
        if (*found >= operators.size() || operators[*found].mnc != operatorCode) __builtin_trap();
    }

    (void)pelorin::settingsPortSelection(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
