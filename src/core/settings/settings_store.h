#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pelorin {

// The per-user store of remembered values: named values grouped in sections,
// each a text or a 32-bit integer. Reading never fails: a value that is absent
// (or cannot be read as the type asked for) gives the default. Writes are not
// checked for success.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual std::string readString(std::string_view section, std::string_view name, std::string_view defaultValue) = 0;
    virtual std::int32_t readInt(std::string_view section, std::string_view name, std::int32_t defaultValue) = 0;
    virtual void writeString(std::string_view section, std::string_view name, std::string_view value) = 0;
    virtual void writeInt(std::string_view section, std::string_view name, std::int32_t value) = 0;
};

}  // namespace pelorin
