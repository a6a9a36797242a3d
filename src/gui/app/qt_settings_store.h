#pragma once

#include <QSettings>

#include "settings/settings_store.h"

namespace pelorin {

// The remembered values in the user's settings: organisation "Local
// AppWizard-Generated Applications", application "Pelorin", one group per
// section ("Last", "Settings"). On Linux that is an INI file in the user's
// configuration folder.
class QtSettingsStore : public SettingsStore {
public:
    static constexpr const char* kOrganisation = "Local AppWizard-Generated Applications";
    static constexpr const char* kApplication = "Pelorin";

    QtSettingsStore();

    std::string readString(std::string_view section, std::string_view name, std::string_view defaultValue) override;
    std::int32_t readInt(std::string_view section, std::string_view name, std::int32_t defaultValue) override;
    void writeString(std::string_view section, std::string_view name, std::string_view value) override;
    void writeInt(std::string_view section, std::string_view name, std::int32_t value) override;

    QString fileName() const { return settings_.fileName(); }

private:
    QSettings settings_;
};

}  // namespace pelorin
