#include "settings/line_settings.h"

#include <string>

#include "document/document.h"
#include "settings/remembered_values.h"
#include "settings/settings_store.h"
#include "sms/sim_replies.h"
#include "smsc/smsc_send_path.h"

namespace pelorin {

void readLineSettings(CPelorinDoc& doc, SettingsStore& store) {
    const std::string centre = store.readString(kSettingsSection, kSmsCentreValue, "");
    doc.smsCentre = IsValidSmsCentre(centre) ? centre : std::string();
    doc.slowWrites = store.readInt(kSettingsSection, kSlowWritesValue, 0) != 0 ? 1 : 0;
    doc.lineLog = store.readInt(kSettingsSection, kLineLogValue, 0) != 0 ? 1 : 0;
    const std::string address = store.readString(kSettingsSection, kSmscAddressValue, "");
    std::string error;
    doc.smscAddress = smsc::parseSmscRoute(address, error) ? address : std::string();
    const bool toCentre = store.readInt(kSettingsSection, kSendThroughValue, kSendThroughPhone) == kSendThroughCentre;
    doc.sendThrough = toCentre && !doc.smscAddress.empty() ? kSendThroughCentre : kSendThroughPhone;
}

void rememberSendThrough(CPelorinDoc& doc, SettingsStore& store, std::int32_t sendThrough,
                         std::string_view smscAddress) {
    std::string error;
    doc.smscAddress = smsc::parseSmscRoute(smscAddress, error) ? std::string(smscAddress) : std::string();
    doc.sendThrough =
        sendThrough == kSendThroughCentre && !doc.smscAddress.empty() ? kSendThroughCentre : kSendThroughPhone;
    store.writeInt(kSettingsSection, kSendThroughValue, doc.sendThrough);
    store.writeString(kSettingsSection, kSmscAddressValue, doc.smscAddress);
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
