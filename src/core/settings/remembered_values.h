#pragma once

#include <cstdint>
#include <string_view>

namespace pelorin {

class CPelorinDoc;
class SettingsStore;

// Where the remembered values live in the settings store.
inline constexpr std::string_view kLastSection = "Last";
inline constexpr std::string_view kSettingsSection = "Settings";
inline constexpr std::string_view kNumberValue = "Number";
inline constexpr std::string_view kCountryValue = "Country";
inline constexpr std::string_view kCodeValue = "Code";
inline constexpr std::string_view kReportValue = "Report";
inline constexpr std::string_view kComPortValue = "COMport";
inline constexpr std::string_view kFixedWaitsValue = "FixedWaits";

// What a first run (nothing stored yet) starts with.
inline constexpr std::string_view kDefaultNumber = "+";
inline constexpr std::string_view kDefaultCountry = "000";
inline constexpr std::string_view kDefaultCode = "00";
inline constexpr std::int32_t kDefaultReport = 1;
inline constexpr std::string_view kDefaultComPort = "COM3:";
inline constexpr std::int32_t kDefaultFixedWaits = 0;

// Loads the document's remembered values, in the order Number, Country,
// Code, Report, COMport, FixedWaits, each with its default when absent (a
// FixedWaits other than 0 counts as 1).
void readRememberedValues(CPelorinDoc& doc, SettingsStore& store);

// After the operator-logo dialog is confirmed: number, country code, operator
// code and delivery report, in that order, each member updated just before its
// value is written, so the store holds them even if the send then fails.
void rememberOperatorLogoSend(CPelorinDoc& doc, SettingsStore& store, std::string_view number,
                              std::string_view countryCode, std::string_view operatorCode, std::int32_t deliveryReport);

// After any other send dialog is confirmed: number, then delivery report. The
// network codes are left as they were.
void rememberSend(CPelorinDoc& doc, SettingsStore& store, std::string_view number, std::int32_t deliveryReport);

// The Settings dialog was confirmed: whether sends keep the fixed waits (any
// non-zero value counts as 1), written to the store at once.
void rememberFixedWaits(CPelorinDoc& doc, SettingsStore& store, std::int32_t fixedWaits);

}  // namespace pelorin
