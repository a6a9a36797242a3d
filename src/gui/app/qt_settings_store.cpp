#include "app/qt_settings_store.h"

#include "app/qt_text.h"
#include "settings/memory_settings_store.h"

namespace pelorin {

namespace {

QString keyOf(std::string_view section, std::string_view name) {
    return toQString(section) + QLatin1Char('/') + toQString(name);
}

}  // namespace

QtSettingsStore::QtSettingsStore() : settings_(QSettings::UserScope, kOrganisation, kApplication) {}

std::string QtSettingsStore::readString(std::string_view section, std::string_view name,
                                        std::string_view defaultValue) {
    const QVariant value = settings_.value(keyOf(section, name));
    if (!value.isValid() || !value.canConvert<QString>()) return std::string(defaultValue);
    return value.toString().toStdString();
}

std::int32_t QtSettingsStore::readInt(std::string_view section, std::string_view name, std::int32_t defaultValue) {
    const QVariant value = settings_.value(keyOf(section, name));
    if (!value.isValid() || !value.canConvert<QString>()) return defaultValue;
    // Stored as text in the file: only a whole decimal number within 32 bits
    // counts, as in every other store.
    return parseStoredInt(value.toString().toStdString()).value_or(defaultValue);
}

void QtSettingsStore::writeString(std::string_view section, std::string_view name, std::string_view value) {
    settings_.setValue(keyOf(section, name), toQString(value));
    settings_.sync();
}

void QtSettingsStore::writeInt(std::string_view section, std::string_view name, std::int32_t value) {
    settings_.setValue(keyOf(section, name), value);
    settings_.sync();
}

}  // namespace pelorin
