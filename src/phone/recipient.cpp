#include "phone/recipient.h"

#include "phone/ringtone_payload.h"
#include "phone/text_payload.h"

namespace pelorin::phone {

Recipient::Recipient(std::optional<std::filesystem::path> storeFolder) {
    if (storeFolder) store_.emplace(std::move(*storeFolder));
}

Reception Recipient::receive(const SubmitMessage& part) {
    Reception reception;
    const ReassemblyResult assembled = reassembler_.add(part);
    if (assembled.status == ReassemblyResult::Status::Waiting) return reception;

    LogEntry entry;
    std::optional<ReceivedLogo> logo;
    std::optional<ReceivedRingtone> ringtone;
    if (assembled.status == ReassemblyResult::Status::Rejected) {
        CompletedMessage single;
        single.number = part.number;
        single.destinationPort = part.destinationPort;
        single.reportRequested.push_back(part.statusReportRequested());
        entry = describe(single, nullptr, assembled.error);
        entry.kind = "invalid";
    } else if (assembled.message->destinationPort == kRingtonePort) {
        auto interpreted = interpretRingtone(*assembled.message);
        entry = describe(*assembled.message, nullptr, interpreted.error());
        entry.kind = interpreted ? "ringtone" : "invalid";
        if (interpreted) {
            entry.size = std::to_string(interpreted->notes) + " notes";
            entry.text = interpreted->name;
            ringtone = std::move(interpreted.value());
        }
    } else {
        auto interpreted = interpretLogo(*assembled.message);
        if (interpreted) logo = std::move(interpreted.value());
        entry = describe(*assembled.message, logo ? &*logo : nullptr, interpreted.error());
        if (!logo) {
            if (auto text = interpretText(*assembled.message)) {
                entry.kind = "text-message";
                entry.text = std::move(*text);
                entry.error.clear();
            }
        }
    }

    if (store_) {
        auto stored = logo       ? store_->storeLogo(*logo, entry)
                      : ringtone ? store_->storeRingtone(ringtone->rtttl, entry)
                                 : store_->logOnly(entry);
        if (stored) {
            entry.file = stored.value();
        } else {
            reception.storeError = stored.error();
        }
    }
    if (entries_.size() >= kKeptEntries) entries_.erase(entries_.begin());
    entries_.push_back(entry);
    reception.entry = std::move(entry);
    return reception;
}

}  // namespace pelorin::phone
