#include "app/qt_settings_store.h"

#include "settings/memory_settings_store.h"

namespace pelorin {

namespace {

QString keyOf(std::string_view section, std::string_view name) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + QLatin1Char('/') +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QString textOf(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

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
    settings_.setValue(keyOf(section, name), textOf(value));
    settings_.sync();
}

void QtSettingsStore::writeInt(std::string_view section, std::string_view name, std::int32_t value) {
    settings_.setValue(keyOf(section, name), value);
    settings_.sync();
}

}  // namespace pelorin
