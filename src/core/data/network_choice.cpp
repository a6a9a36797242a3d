#include "data/network_choice.h"

#include <algorithm>

#include "data/country_table.h"
#include "document/document.h"
#include "util/text.h"

namespace pelorin {

namespace {

constexpr std::size_t kCountryCodeLength = 3;
constexpr std::size_t kOperatorCodeLength = 2;

}  // namespace

std::size_t characterCount(std::string_view text) { return decodeUtf8(text).size(); }

NetworkChoice::NetworkChoice(const CPelorinDoc& doc)
    : countryCodes_(doc.countryCodes), countryNames_(doc.countryNames), operatorTable_(doc.operatorTable) {}

std::size_t NetworkChoice::countryCount() const { return countryNames_.size(); }

const std::string& NetworkChoice::countryName(std::size_t position) const { return countryNames_.at(position); }

void NetworkChoice::open() {
    const std::string remembered = operatorCode;
    syncFromCountryCode();
    operatorCode = remembered;
    syncFromOperatorCode();
}

void NetworkChoice::fillOperatorList() {
    operators_ = scanOperators(operatorTable_, countryCode);
    operatorSelection_.reset();
}

void NetworkChoice::syncFromCountryCode() {
    operators_.clear();
    operatorSelection_.reset();
    countrySelection_.reset();
    if (characterCount(countryCode) != kCountryCodeLength) return;
    if (countryCodes_.empty()) return;
    const auto country = findCountryByCode(countryCodes_, countryCode);
    if (!country) return;
    countrySelection_ = country;
    fillOperatorList();
    if (operators_.empty()) return;
    onOperatorPicked(0);
}

void NetworkChoice::syncFromOperatorCode() { operatorSelection_ = findOperatorByCode(operators_, operatorCode); }

void NetworkChoice::onCountryPicked(std::size_t position) {
    if (position >= countryCodes_.size()) return;
    countrySelection_ = position;
    countryCode = countryCodes_[position];
    fillOperatorList();
    if (!operators_.empty()) onOperatorPicked(0);
}

void NetworkChoice::onOperatorPicked(std::size_t position) {
    if (position >= operators_.size()) return;
    operatorSelection_ = position;
    operatorCode = operators_[position].mnc;
}

std::uint32_t packMnc(std::string_view mnc) {
    const auto byteAt = [&](std::size_t i) -> std::uint32_t {
        return i < mnc.size() ? static_cast<std::uint8_t>(mnc[i]) : 0u;
    };
    // The table's MNCs are digits; anything else is not one byte of UTF-8.
    if (mnc.size() > kOperatorCodeLength || byteAt(0) > 0x7F || byteAt(1) > 0x7F) return 0;
    return byteAt(0) | (byteAt(1) << 8);
}

std::optional<NetworkCodeProblem> checkNetworkCodes(std::string_view countryCode, std::string_view operatorCode) {
    auto digits = [](std::string_view code, std::size_t length) {
        return code.size() == length &&
               std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(countryCode, kCountryCodeLength))
        return NetworkCodeProblem{NetworkCodeProblem::Field::CountryCode, kCountryCodeLengthMessage};
    if (!digits(operatorCode, kOperatorCodeLength))
        return NetworkCodeProblem{NetworkCodeProblem::Field::OperatorCode, kOperatorCodeLengthMessage};
    return std::nullopt;
}

}  // namespace pelorin
