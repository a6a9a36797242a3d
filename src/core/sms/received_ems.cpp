#include "sms/received_ems.h"

#include "document/packed.h"
#include "sms/ems.h"

namespace pelorin {

std::optional<ReceivedItem> recogniseEms(ReceivedItem item, const std::vector<const DeliverMessage*>& parts) {
    if (parts.empty() || parts.front()->ports) return std::nullopt;
    std::vector<std::span<const std::uint8_t>> headers;
    bool any = false;
    for (const DeliverMessage* part : parts) {
        headers.emplace_back(part->header);
        any = any || hasEmsPicture(part->header);
    }
    if (!any) return std::nullopt;
    const EmsDecodeResult decoded = decodeEmsPictures(headers);
    if (!decoded.reading) {
        item.kind = ReceivedKind::Skipped;
        item.reason = "ems-picture: " + decoded.why;
        return item;
    }
    const EmsReading& reading = *decoded.reading;
    const LogoKind kind = nearestEmsCanvas(reading.width, reading.height);
    unsigned cut = 0;
    const Canvas canvas = emsOnCanvas(reading, kind, cut);
    item.kind = ReceivedKind::EmsPicture;
    const CanvasSize size = sizeOf(kind);
    item.width = static_cast<unsigned>(size.width);
    item.height = static_cast<unsigned>(size.height);
    item.canvas = kind;
    item.bitmap = packCanvas(canvas);
    std::vector<std::uint8_t> payload;
    for (const DeliverMessage* part : parts) payload.insert(payload.end(), part->payload.begin(), part->payload.end());
    const UserDataCoding coding = parts.front()->coding;
    item.text = coding == UserDataCoding::Ucs2     ? ucs2Text(payload)
                : coding == UserDataCoding::Octets ? latin1Text(payload)
                                                   : gsm7Text(payload);
    if (reading.width != item.width || reading.height != item.height)
        item.reason = "sent as " + std::to_string(reading.width) + "x" + std::to_string(reading.height);
    if (cut > 0)
        item.reason += (item.reason.empty() ? "" : ", ") + std::to_string(cut) + " set pixel" + (cut > 1 ? "s" : "") +
                       " outside the canvas cut";
    if (!reading.note.empty()) item.reason += (item.reason.empty() ? "" : ", ") + reading.note;
    return item;
}

}  // namespace pelorin
