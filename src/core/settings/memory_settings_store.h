#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "settings/settings_store.h"

namespace pelorin {

// A settings store held in memory, for tests and for runs that must not touch
// the user's real settings. Like a settings file it keeps every value as text:
// integers are written in decimal and read back only when the whole text is a
// decimal number within 32 bits.
class MemorySettingsStore : public SettingsStore {
public:
    using Key = std::pair<std::string, std::string>;  // section, name

    std::string readString(std::string_view section, std::string_view name, std::string_view defaultValue) override;
    std::int32_t readInt(std::string_view section, std::string_view name, std::int32_t defaultValue) override;
    void writeString(std::string_view section, std::string_view name, std::string_view value) override;
    void writeInt(std::string_view section, std::string_view name, std::int32_t value) override;

    // The stored text of a value, if present.
    std::optional<std::string> find(std::string_view section, std::string_view name) const;
    const std::map<Key, std::string>& values() const { return values_; }

private:
    std::map<Key, std::string> values_;
};

// Reads a whole text as a decimal 32-bit integer ("-" allowed, no spaces).
std::optional<std::int32_t> parseStoredInt(std::string_view text);

}  // namespace pelorin
