#pragma once

// What a phone holds, as Pelorin sees it: the messages read from its memory
// put back together (concatenated parts by sender, reference and total) and
// recognised as operator logos (port 0x1582), caller-group graphics (0x1583),
// picture messages (0x158A), ringtones (0x1581), text messages or anything else. A part that
// cannot be read, or a message with a part missing, is skipped with a reason;
// nothing is guessed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/canvas.h"
#include "document/logo_kind.h"

namespace pelorin {

// One message as the phone listed it.
struct StoredPdu {
    std::string memory;  // "SM", "ME", ...
    unsigned index = 0;
    unsigned status = 0;  // 0 received unread, 1 received read, 2 stored unsent, 3 stored sent
    std::string hex;      // the PDU: service-centre field, then the TPDU
};

enum class ReceivedKind { OperatorLogo, GroupGraphic, PictureMessage, Text, Other, Skipped, Ringtone };

// "operator-logo", "group-graphic", "picture-message", "text", "other", "skipped",
// "ringtone".
const char* receivedKindName(ReceivedKind kind);

struct ReceivedItem {
    ReceivedKind kind = ReceivedKind::Other;
    std::string memory;
    std::vector<unsigned> indices;  // the phone's indices of its parts, in sequence order
    std::string sender;
    std::string timeStamp;  // of the first part
    // Logos: the OTA bitmap's size and its packed bits (rows running on
    // unpadded, first pixel in bit 0x80), and the canvas it fits.
    unsigned width = 0;
    unsigned height = 0;
    std::vector<std::uint8_t> bitmap;
    std::optional<LogoKind> canvas;  // none for a size Pelorin does not edit
    std::string mcc;                 // operator logos
    std::string mnc;
    std::string text;    // a text message's or a picture message's text, UTF-8
    std::string reason;  // Other: what it is; Skipped: why
    // Ringtone (port 0x1581): the Smart Messaging octets, checked to decode.
    std::vector<std::uint8_t> ringtone;
};

// Puts the listed messages together and recognises each; the result is in
// the order of each item's first part in the listing.
std::vector<ReceivedItem> collectReceived(const std::vector<StoredPdu>& listed);

// A logo of a size Pelorin edits as a canvas of its kind; nothing for any
// other item.
std::optional<Canvas> receivedCanvas(const ReceivedItem& item);

}  // namespace pelorin
