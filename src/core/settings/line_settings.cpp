#include "settings/line_settings.h"

#include <string>

#include "document/document.h"
#include "settings/remembered_values.h"
#include "settings/settings_store.h"
#include "sms/sim_replies.h"

namespace pelorin {

void readLineSettings(CPelorinDoc& doc, SettingsStore& store) {
    const std::string centre = store.readString(kSettingsSection, kSmsCentreValue, "");
    doc.smsCentre = IsValidSmsCentre(centre) ? centre : std::string();
    doc.slowWrites = store.readInt(kSettingsSection, kSlowWritesValue, 0) != 0 ? 1 : 0;
    doc.lineLog = store.readInt(kSettingsSection, kLineLogValue, 0) != 0 ? 1 : 0;
}

void rememberLineSettings(CPelorinDoc& doc, SettingsStore& store, std::string_view smsCentre, std::int32_t slowWrites,
                          std::int32_t lineLog) {
    doc.smsCentre = IsValidSmsCentre(smsCentre) ? std::string(smsCentre) : std::string();
    doc.slowWrites = slowWrites != 0 ? 1 : 0;
    doc.lineLog = lineLog != 0 ? 1 : 0;
    store.writeString(kSettingsSection, kSmsCentreValue, doc.smsCentre);
    store.writeInt(kSettingsSection, kSlowWritesValue, doc.slowWrites);
    store.writeInt(kSettingsSection, kLineLogValue, doc.lineLog);
}

}  // namespace pelorin
