#include "settings/port_list.h"

#include <algorithm>

#include "document/document.h"
#include "platform/serial_port.h"
#include "settings/port_choice.h"
#include "settings/remembered_values.h"
#include "settings/settings_store.h"

namespace pelorin {

namespace {

bool isDevicePath(std::string_view name) { return !name.empty() && name.front() == '/'; }

}  // namespace

std::vector<std::string> settingsPortItems(const std::vector<std::string>& devices) {
    std::vector<std::string> items(kSettingsPortNames.begin(), kSettingsPortNames.end());
    for (const std::string& device : devices) {
        if (!isDevicePath(device)) continue;
        if (std::find(items.begin(), items.end(), device) == items.end()) items.push_back(device);
    }
    return items;
}

std::optional<std::size_t> settingsPortItemSelection(const std::vector<std::string>& items, std::string_view comPort) {
    if (isDevicePath(comPort)) {
        const auto found = std::find(items.begin(), items.end(), comPort);
        if (found == items.end()) return std::nullopt;
        return static_cast<std::size_t>(found - items.begin());
    }
    const auto position = settingsPortSelection(comPort);
    if (!position || *position >= items.size()) return std::nullopt;
    return position;
}

void rememberPortItem(CPelorinDoc& doc, SettingsStore& store, std::string_view item) {
    if (!isDevicePath(item)) {
        rememberComPort(doc, store, item);
        return;
    }
    doc.comPort = std::string(item);
    store.writeString(kSettingsSection, kComPortValue, doc.comPort);
}

std::string settingsPortItemLabel(const std::string& item) {
    const std::string device = devicePathForPortName(item + ":");
    if (device.empty() || item.rfind('/', 0) == 0) return item;
    return item + " (" + device + ")";
}

}  // namespace pelorin
