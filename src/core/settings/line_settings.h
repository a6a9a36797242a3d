#pragma once

// The Settings dialog's choices for the phones people own: the SMS centre
// number for a phone that has none, slow writes, and the log of the phone
// dialogue; in the "Settings" section beside the COM port.

#include <cstdint>
#include <string_view>

namespace pelorin {

class CPelorinDoc;
class SettingsStore;

inline constexpr std::string_view kSmsCentreValue = "SmsCentre";
inline constexpr std::string_view kSlowWritesValue = "SlowWrites";
inline constexpr std::string_view kLineLogValue = "LineLog";
inline constexpr std::string_view kSendThroughValue = "SendThrough";
inline constexpr std::string_view kSmscAddressValue = "SmscAddress";

// Where the editor's sends go: the phone on the serial port, or the SMS
// centre at the stored address (its password is never stored here).
inline constexpr std::int32_t kSendThroughPhone = 0;
inline constexpr std::int32_t kSendThroughCentre = 1;

// Reads the three (a centre number that is not "+" and digits counts as
// none; any value other than 0 as 1).
void readLineSettings(CPelorinDoc& doc, SettingsStore& store);

// The Settings dialog was confirmed: the three written at once; a centre
// number that is not "+" and digits is stored as none.
void rememberLineSettings(CPelorinDoc& doc, SettingsStore& store, std::string_view smsCentre, std::int32_t slowWrites,
                          std::int32_t lineLog);

// Send through and the centre's address: read with the other three (an
// address the parser refuses counts as none, and then so does the centre);
// written when the Settings dialog is confirmed.
void rememberSendThrough(CPelorinDoc& doc, SettingsStore& store, std::int32_t sendThrough,
                         std::string_view smscAddress);

}  // namespace pelorin
