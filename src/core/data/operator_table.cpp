#include "data/operator_table.h"

#include "data/table_reader.h"
#include "util/text.h"

namespace pelorin {

namespace {

// Characters [from, from + count) of a line, clipped to what the line holds.
std::string_view clippedPart(std::string_view line, std::size_t from, std::size_t count = std::string_view::npos) {
    if (from >= line.size()) return {};
    return line.substr(from, count);
}

}  // namespace

std::vector<OperatorEntry> scanOperators(std::span<const std::uint8_t> operatorTable, std::string_view countryCode) {
    std::vector<OperatorEntry> operators;
    scanTableLines(operatorTable, [&](std::string_view line) {
        if (tableText(clippedPart(line, 0, 3)) != countryCode) return;
        operators.push_back({tableText(clippedPart(line, 5)), tableText(clippedPart(line, 3, 2))});
    });
    return operators;
}

std::optional<std::size_t> findOperatorByCode(const std::vector<OperatorEntry>& operators,
                                              std::string_view operatorCode) {
    if (decodeUtf8(operatorCode).size() != 2) return std::nullopt;
    for (std::size_t i = 0; i < operators.size(); ++i) {
        if (operators[i].mnc == operatorCode) return i;
    }
    return std::nullopt;
}

}  // namespace pelorin
