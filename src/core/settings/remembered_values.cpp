#include "settings/remembered_values.h"

#include <string>

#include "document/document.h"
#include "settings/settings_store.h"

namespace pelorin {

void readRememberedValues(CPelorinDoc& doc, SettingsStore& store) {
    doc.lastNumber = store.readString(kLastSection, kNumberValue, kDefaultNumber);
    doc.lastCountry = store.readString(kLastSection, kCountryValue, kDefaultCountry);
    doc.lastCode = store.readString(kLastSection, kCodeValue, kDefaultCode);
    doc.lastReport = store.readInt(kLastSection, kReportValue, kDefaultReport);
    doc.comPort = store.readString(kSettingsSection, kComPortValue, kDefaultComPort);
    doc.fixedWaits = store.readInt(kSettingsSection, kFixedWaitsValue, kDefaultFixedWaits) != 0 ? 1 : 0;
}

void rememberFixedWaits(CPelorinDoc& doc, SettingsStore& store, std::int32_t fixedWaits) {
    doc.fixedWaits = fixedWaits != 0 ? 1 : 0;
    store.writeInt(kSettingsSection, kFixedWaitsValue, doc.fixedWaits);
}

void rememberOperatorLogoSend(CPelorinDoc& doc, SettingsStore& store, std::string_view number,
                              std::string_view countryCode, std::string_view operatorCode,
                              std::int32_t deliveryReport) {
    doc.lastNumber = std::string(number);
    store.writeString(kLastSection, kNumberValue, doc.lastNumber);
    doc.lastCountry = std::string(countryCode);
    store.writeString(kLastSection, kCountryValue, doc.lastCountry);
    doc.lastCode = std::string(operatorCode);
    store.writeString(kLastSection, kCodeValue, doc.lastCode);
    doc.lastReport = deliveryReport;
    store.writeInt(kLastSection, kReportValue, doc.lastReport);
}

void rememberSend(CPelorinDoc& doc, SettingsStore& store, std::string_view number, std::int32_t deliveryReport) {
    doc.lastNumber = std::string(number);
    store.writeString(kLastSection, kNumberValue, doc.lastNumber);
    doc.lastReport = deliveryReport;
    store.writeInt(kLastSection, kReportValue, doc.lastReport);
}

}  // namespace pelorin
