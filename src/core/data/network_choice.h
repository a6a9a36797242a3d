#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/operator_table.h"

namespace pelorin {

class CPelorinDoc;

// The network part of the operator-logo send dialog without its windows: the
// two code fields, the country list's selection and the operator list with its
// selection, kept in step with each other. The dialog copies its edits in
// before each step and shows the fields and lists afterwards; every step here
// runs only because the user typed or picked something.
class NetworkChoice {
public:
    // The document's country lists and operator table are read, never changed.
    explicit NetworkChoice(const CPelorinDoc& doc);

    std::string countryCode;   // the country-code edit (MCC), as typed
    std::string operatorCode;  // the operator-code edit (MNC), as typed

    std::size_t countryCount() const;
    const std::string& countryName(std::size_t position) const;
    std::optional<std::size_t> countrySelection() const { return countrySelection_; }
    const std::vector<OperatorEntry>& operators() const { return operators_; }
    std::optional<std::size_t> operatorSelection() const { return operatorSelection_; }

    // The dialog has opened with the remembered codes in the edits: selects
    // the country and lists its operators, then selects the operator of the
    // remembered code. The operator-code edit keeps the remembered code even
    // when no operator has it.
    void open();

    // Lists the operators of the current country code; none selected.
    void fillOperatorList();
    // The user edited the country code: a three-character code of a known
    // country selects that country (the first one when two share the code),
    // lists its operators and takes the first of them.
    void syncFromCountryCode();
    // The user edited the operator code: a two-character code selects the
    // first listed operator with that code.
    void syncFromOperatorCode();
    // The user picked a country: its code goes into the country-code edit
    // and its first operator, if any, is taken.
    void onCountryPicked(std::size_t position);
    // The user picked an operator: its two MNC characters go into the
    // operator-code edit.
    void onOperatorPicked(std::size_t position);

private:
    const std::vector<std::string>& countryCodes_;
    const std::vector<std::string>& countryNames_;
    std::span<const std::uint8_t> operatorTable_;
    std::optional<std::size_t> countrySelection_;
    std::vector<OperatorEntry> operators_;
    std::optional<std::size_t> operatorSelection_;
};

// The MNC characters of an operator entry packed into one 32-bit word, as the
// operator list carries them: the first character in the lowest byte, the
// second in the next, the upper 16 bits zero. Characters beyond one byte, or
// missing ones, are taken as 0.
std::uint32_t packMnc(std::string_view mnc);

// Which code field the operator-logo dialog refuses, and why.
struct NetworkCodeProblem {
    enum class Field { CountryCode, OperatorCode };
    Field field;
    std::string_view message;
};

inline constexpr std::string_view kCountryCodeLengthMessage = "Please type 3-digits number in Country code";
inline constexpr std::string_view kOperatorCodeLengthMessage = "Please type 2-digits number in Operator code";

// The codes must be 3 and 2 digits (letters would be written into the
// message as they stand and the phone would refuse it); the country code
// first.
std::optional<NetworkCodeProblem> checkNetworkCodes(std::string_view countryCode, std::string_view operatorCode);

// Characters (not bytes) of a UTF-8 text.
std::size_t characterCount(std::string_view text);

}  // namespace pelorin
