#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace pelorin {

class CPelorinDoc;
class SettingsStore;

// The items of the Settings dialog's port list, in list order.
inline constexpr std::array<std::string_view, 4> kSettingsPortNames = {"COM1", "COM2", "COM3", "COM4"};

// The list position to preselect for a port name: its fourth character minus
// '1', so "COM1:" gives 0 up to "COM4:" giving 3. Any other character, a name
// shorter than four characters, or a multi-digit port such as "COM12:" gives no
// selection.
std::optional<std::size_t> settingsPortSelection(std::string_view comPort);

// The Settings dialog was confirmed with the list item `portName` selected
// (empty when nothing is selected). The port becomes the item followed by ":"
// and is written to the store at once; with no selection nothing changes.
void rememberComPort(CPelorinDoc& doc, SettingsStore& store, std::string_view portName);

}  // namespace pelorin
