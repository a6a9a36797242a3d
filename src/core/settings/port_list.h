#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

class CPelorinDoc;
class SettingsStore;

// The items of the Settings dialog's port list: "COM1" to "COM4", then the
// given serial devices of this computer as their paths, in the order given,
// leaving out repeats.
std::vector<std::string> settingsPortItems(const std::vector<std::string>& devices);

// What the list shows for an item: a COM item with the device it opens,
// "COM3 (/dev/ttyS2)"; a device path as it is.
std::string settingsPortItemLabel(const std::string& item);

// The item to preselect for the stored port: a device path selects the item
// equal to it; any other name selects one of the four COM items by its fourth
// character (settingsPortSelection), or nothing.
std::optional<std::size_t> settingsPortItemSelection(const std::vector<std::string>& items, std::string_view comPort);

// The Settings dialog was confirmed with `item` selected (empty for none): a
// COM item is stored with a colon after it, a device path as it is.
void rememberPortItem(CPelorinDoc& doc, SettingsStore& store, std::string_view item);

}  // namespace pelorin
