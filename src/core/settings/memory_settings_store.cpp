#include "settings/memory_settings_store.h"

#include <charconv>

namespace pelorin {

std::optional<std::int32_t> parseStoredInt(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end) return std::nullopt;
    return value;
}

std::optional<std::string> MemorySettingsStore::find(std::string_view section, std::string_view name) const {
    const auto found = values_.find(Key{section, name});
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::string MemorySettingsStore::readString(std::string_view section, std::string_view name,
                                            std::string_view defaultValue) {
    return find(section, name).value_or(std::string(defaultValue));
}

std::int32_t MemorySettingsStore::readInt(std::string_view section, std::string_view name, std::int32_t defaultValue) {
    const auto text = find(section, name);
    if (!text) return defaultValue;
    return parseStoredInt(*text).value_or(defaultValue);
}

void MemorySettingsStore::writeString(std::string_view section, std::string_view name, std::string_view value) {
    values_[Key{section, name}] = std::string(value);
}

void MemorySettingsStore::writeInt(std::string_view section, std::string_view name, std::int32_t value) {
    values_[Key{section, name}] = std::to_string(value);
}

}  // namespace pelorin
