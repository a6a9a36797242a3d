#include "sms/received_messages.h"

#include <algorithm>
#include <map>
#include <span>
#include <tuple>

#include "document/packed.h"
#include "ringtone/smart_messaging.h"
#include "sms/deliver_pdu.h"

namespace pelorin {

namespace {

constexpr std::uint8_t kVersion = 0x30;
constexpr std::uint8_t kLineFeed = 0x0A;

struct Part {
    std::size_t position = 0;  // in the listing
    const StoredPdu* stored = nullptr;
    DeliverMessage message;
};

ReceivedItem startItem(const Part& first) {
    ReceivedItem item;
    item.memory = first.stored->memory;
    item.sender = first.message.sender;
    item.timeStamp = first.message.timeStamp;
    return item;
}

ReceivedItem skipped(ReceivedItem item, std::string reason) {
    item.kind = ReceivedKind::Skipped;
    item.reason = std::move(reason);
    return item;
}

// The logo ports: 16-bit 0x1582, 0x1583, 0x158A, or their low octets in the
// 8-bit form.
std::optional<ReceivedKind> logoPort(const PortAddress& ports) {
    const unsigned port = ports.sixteenBit ? ports.destination : 0x1500u | ports.destination;
    if (port == 0x1582) return ReceivedKind::OperatorLogo;
    if (port == 0x1583) return ReceivedKind::GroupGraphic;
    if (port == 0x158A) return ReceivedKind::PictureMessage;
    return std::nullopt;
}

bool isRingtonePort(const PortAddress& ports) {
    return (ports.sixteenBit ? ports.destination : 0x1500u | ports.destination) == ringtone::kRingtonePort;
}

// An OTA bitmap: 00, width, height, depth 01, then exactly its octets.
bool readBitmap(std::span<const std::uint8_t> data, ReceivedItem& item, std::string& why) {
    if (data.size() < 4) {
        why = "the bitmap header is cut short";
        return false;
    }
    if (data[0] != 0x00 || data[3] != 0x01) {
        why = "not a one-bit OTA bitmap";
        return false;
    }
    const std::size_t needed = (static_cast<std::size_t>(data[1]) * data[2] + 7) / 8;
    if (needed == 0 || data.size() - 4 != needed) {
        why = "a bitmap of " + std::to_string(data[1]) + "x" + std::to_string(data[2]) + " needs " +
              std::to_string(needed) + " octets, " + std::to_string(data.size() - 4) + " follow";
        return false;
    }
    item.width = data[1];
    item.height = data[2];
    item.bitmap.assign(data.begin() + 4, data.end());
    for (LogoKind kind : {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator}) {
        const CanvasSize size = sizeOf(kind);
        if (static_cast<int>(item.width) == size.width && static_cast<int>(item.height) == size.height)
            item.canvas = kind;
    }
    return true;
}

char digit(unsigned value) { return "0123456789ABCDEF"[value & 0x0F]; }

void readNetworkCode(std::span<const std::uint8_t> code, ReceivedItem& item) {
    item.mcc = {digit(code[0]), digit(code[0] >> 4), digit(code[1])};
    item.mnc = {digit(code[2]), digit(code[2] >> 4)};
    if ((code[1] >> 4) != 0x0F) item.mnc.push_back(digit(code[1] >> 4));
}

// Operator logo: network code then bitmap, or 0x30, code, 0x0A, bitmap.
bool operatorLogo(std::span<const std::uint8_t> data, ReceivedItem& item, std::string& why) {
    if (data.size() >= 5 && data[0] == kVersion && data[4] == kLineFeed) {
        readNetworkCode(data.subspan(1, 3), item);
        if (readBitmap(data.subspan(5), item, why)) return true;
    }
    if (data.size() < 3) {
        why = "the operator logo is shorter than its network code";
        return false;
    }
    readNetworkCode(data.first(3), item);
    return readBitmap(data.subspan(3), item, why);
}

// Picture message: 0x30, then items of type, 16-bit length and data: 00 a
// Latin-1 text, 01 a UCS-2 text, 02 the bitmap.
bool pictureMessage(std::span<const std::uint8_t> data, ReceivedItem& item, std::string& why) {
    if (data.empty() || data[0] != kVersion) {
        why = "the picture message does not begin with 30";
        return false;
    }
    bool bitmap = false;
    std::size_t at = 1;
    while (at < data.size()) {
        if (data.size() - at < 3) {
            why = "a picture message item is cut short";
            return false;
        }
        const std::uint8_t type = data[at];
        const std::size_t length = static_cast<std::size_t>(data[at + 1] << 8 | data[at + 2]);
        at += 3;
        if (length > data.size() - at) {
            why = "a picture message item runs past the message";
            return false;
        }
        const auto content = data.subspan(at, length);
        at += length;
        if (type == 0x00) item.text += latin1Text(content);
        if (type == 0x01) item.text += ucs2Text(content);
        if (type == 0x02 && !bitmap) {
            if (!readBitmap(content, item, why)) return false;
            bitmap = true;
        }
    }
    if (!bitmap) why = "the picture message has no bitmap";
    return bitmap;
}

ReceivedItem recognise(ReceivedItem item, const DeliverMessage& first, const std::vector<std::uint8_t>& payload) {
    const std::span<const std::uint8_t> data(payload);
    const std::optional<ReceivedKind> logo = first.ports ? logoPort(*first.ports) : std::nullopt;
    if (logo && first.coding == UserDataCoding::Octets) {
        std::string why;
        bool read = false;
        if (*logo == ReceivedKind::OperatorLogo) read = operatorLogo(data, item, why);
        if (*logo == ReceivedKind::GroupGraphic)
            read = readBitmap(!data.empty() && data[0] == kVersion ? data.subspan(1) : data, item, why);
        if (*logo == ReceivedKind::PictureMessage) read = pictureMessage(data, item, why);
        if (!read) return skipped(std::move(item), std::string(receivedKindName(*logo)) + ": " + why);
        item.kind = *logo;
        return item;
    }
    if (first.ports && isRingtonePort(*first.ports) && first.coding == UserDataCoding::Octets) {
        const auto read = ringtone::decodeSmartMessaging(data);
        if (!read.ringtone) return skipped(std::move(item), "ringtone: " + read.error);
        item.kind = ReceivedKind::Ringtone;
        item.ringtone = payload;
        return item;
    }
    if (first.ports) {
        item.kind = ReceivedKind::Other;
        item.reason = "data for port " + std::to_string(first.ports->destination);
        return item;
    }
    if (first.coding == UserDataCoding::Octets) {
        item.kind = ReceivedKind::Other;
        item.reason = "8-bit data of " + std::to_string(payload.size()) + " octets";
        return item;
    }
    item.kind = ReceivedKind::Text;
    item.text = first.coding == UserDataCoding::Gsm7 ? gsm7Text(data) : ucs2Text(data);
    return item;
}

std::string partList(const std::vector<unsigned>& sequences) {
    std::string text;
    for (unsigned sequence : sequences) text += (text.empty() ? "" : ", ") + std::to_string(sequence);
    return text;
}

}  // namespace

const char* receivedKindName(ReceivedKind kind) {
    switch (kind) {
        case ReceivedKind::OperatorLogo:
            return "operator-logo";
        case ReceivedKind::GroupGraphic:
            return "group-graphic";
        case ReceivedKind::PictureMessage:
            return "picture-message";
        case ReceivedKind::Text:
            return "text";
        case ReceivedKind::Other:
            return "other";
        case ReceivedKind::Skipped:
            return "skipped";
        case ReceivedKind::Ringtone:
            return "ringtone";
    }
    return "other";
}

std::vector<ReceivedItem> collectReceived(const std::vector<StoredPdu>& listed) {
    std::vector<std::pair<std::size_t, ReceivedItem>> items;  // by the position of the first part
    // Memory, sender, reference, total, and whether the reference is 16-bit:
    // the same number in the 8-bit and the 16-bit element names two messages.
    using Key = std::tuple<std::string, std::string, unsigned, unsigned, bool>;
    std::map<Key, std::vector<Part>> groups;

    for (std::size_t position = 0; position < listed.size(); ++position) {
        const StoredPdu& stored = listed[position];
        PduReading reading = readReportedPduHex(stored.hex);
        Part part{position, &stored, std::move(reading.message)};
        ReceivedItem item = startItem(part);
        item.indices = {stored.index};
        if (reading.status == PduReading::Status::Refused) {
            items.emplace_back(position, skipped(std::move(item), reading.reason));
            continue;
        }
        if (reading.status != PduReading::Status::Deliver) {
            item.kind = ReceivedKind::Other;
            item.reason = reading.reason;
            items.emplace_back(position, std::move(item));
            continue;
        }
        const std::optional<PartOf>& of = part.message.part;
        if (!of || of->total == 1) {
            if (of && of->sequence != 1) {
                items.emplace_back(position,
                                   skipped(std::move(item), "part " + std::to_string(of->sequence) + " of 1"));
                continue;
            }
            items.emplace_back(position, recognise(std::move(item), part.message, part.message.payload));
            continue;
        }
        if (of->total == 0 || of->sequence == 0 || of->sequence > of->total) {
            items.emplace_back(position, skipped(std::move(item), "part " + std::to_string(of->sequence) + " of " +
                                                                      std::to_string(of->total)));
            continue;
        }
        groups[Key{stored.memory, part.message.sender, of->reference, of->total, of->sixteenBit}].push_back(
            std::move(part));
    }

    for (auto& [key, parts] : groups) {
        const unsigned total = std::get<3>(key);
        std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) {
            return a.message.part->sequence < b.message.part->sequence;
        });
        std::vector<const Part*> inOrder;
        std::vector<unsigned> missing;
        std::vector<unsigned> repeated;
        std::size_t next = 0;
        for (unsigned sequence = 1; sequence <= total; ++sequence) {
            if (next < parts.size() && parts[next].message.part->sequence == sequence) {
                inOrder.push_back(&parts[next++]);
                if (next < parts.size() && parts[next].message.part->sequence == sequence) repeated.push_back(sequence);
                while (next < parts.size() && parts[next].message.part->sequence == sequence)
                    inOrder.push_back(&parts[next++]);
            } else {
                missing.push_back(sequence);
            }
        }
        const Part& first = *inOrder.front();
        ReceivedItem item = startItem(first);
        std::size_t position = listed.size();
        for (const Part* part : inOrder) {
            item.indices.push_back(part->stored->index);
            position = std::min(position, part->position);
        }
        // A part number twice means two messages share the reference: which
        // parts belong together cannot be told, so none is put together.
        if (!repeated.empty()) {
            items.emplace_back(
                position, skipped(std::move(item),
                                  "part" + std::string(repeated.size() > 1 ? "s " : " ") + partList(repeated) + " of " +
                                      std::to_string(total) + (repeated.size() > 1 ? " appear" : " appears") +
                                      " more than once: reference " + std::to_string(std::get<2>(key)) +
                                      " holds more than one message"));
            continue;
        }
        if (!missing.empty()) {
            items.emplace_back(position, skipped(std::move(item),
                                                 "part" + std::string(missing.size() > 1 ? "s " : " ") +
                                                     partList(missing) + " of " + std::to_string(total) + " missing"));
            continue;
        }
        std::vector<std::uint8_t> payload;
        for (const Part* part : inOrder)
            payload.insert(payload.end(), part->message.payload.begin(), part->message.payload.end());
        items.emplace_back(position, recognise(std::move(item), first.message, payload));
    }

    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<ReceivedItem> result;
    result.reserve(items.size());
    for (auto& [position, item] : items) result.push_back(std::move(item));
    return result;
}

std::optional<Canvas> receivedCanvas(const ReceivedItem& item) {
    if (!item.canvas || item.bitmap.size() != sizeOf(*item.canvas).packedBytes()) return std::nullopt;
    Canvas canvas(sizeOf(*item.canvas));
    unpackCanvas(canvas, item.bitmap);
    return canvas;
}

}  // namespace pelorin
