#include "settings/port_choice.h"

#include <string>

#include "document/document.h"
#include "settings/remembered_values.h"
#include "settings/settings_store.h"

namespace pelorin {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<std::size_t> settingsPortSelection(std::string_view comPort) {
    constexpr std::size_t kDigitIndex = 3;
    if (comPort.size() <= kDigitIndex) return std::nullopt;
    // A second digit means a port number beyond the list, even if it starts like one of the items.
    if (comPort.size() > kDigitIndex + 1 && isDigit(comPort[kDigitIndex + 1])) return std::nullopt;
    const int position = comPort[kDigitIndex] - '1';
    if (position < 0 || position >= static_cast<int>(kSettingsPortNames.size())) return std::nullopt;
    return static_cast<std::size_t>(position);
}

void rememberComPort(CPelorinDoc& doc, SettingsStore& store, std::string_view portName) {
    if (portName.empty()) return;
    doc.comPort = std::string(portName) + ":";
    store.writeString(kSettingsSection, kComPortValue, doc.comPort);
}

}  // namespace pelorin
