#include "phone/ems_payload.h"

#include <vector>

#include "phone/text_payload.h"

namespace pelorin::phone {

namespace {

struct Strip {
    unsigned widthOctets = 0;
    unsigned height = 0;
    const std::vector<std::uint8_t>* data = nullptr;
    std::size_t rowsAt = 0;  // where the rows begin in data
};

bool isPicture(std::uint8_t id) { return id == 0x10 || id == 0x11 || id == 0x12; }

// The strip a picture element describes, or why its length is wrong.
Result<Strip> stripOf(const InformationElement& element) {
    const std::size_t size = element.data.size();
    Strip strip;
    strip.data = &element.data;
    if (element.id == 0x12) {
        if (size < 3) return Result<Strip>::failure("variable picture shorter than its three fields");
        strip.widthOctets = element.data[1];
        strip.height = element.data[2];
        strip.rowsAt = 3;
    } else {
        strip.widthOctets = element.id == 0x11 ? 2 : 4;
        strip.height = strip.widthOctets * 8;
        strip.rowsAt = 1;
    }
    if (strip.widthOctets == 0 || strip.height == 0 ||
        size - strip.rowsAt != static_cast<std::size_t>(strip.widthOctets) * strip.height) {
        return Result<Strip>::failure("picture element " + std::to_string(element.id) + " of " +
                                      std::to_string(strip.widthOctets * 8) + "x" + std::to_string(strip.height) +
                                      " with " + std::to_string(size) + " octets");
    }
    return strip;
}

}  // namespace

std::optional<Result<ReceivedLogo>> interpretEms(const CompletedMessage& message) {
    using Failure = Result<ReceivedLogo>;
    if (message.destinationPort) return std::nullopt;
    // Every picture and prompt in order over the parts.
    std::vector<Strip> pictures;
    std::optional<std::size_t> promptAt;  // pictures seen before the first prompt
    unsigned promptCount = 0;
    for (const auto& header : message.headers) {
        for (const InformationElement& element : header) {
            if (element.id == 0x13 && !promptAt) {
                if (element.data.size() != 1) return Failure::failure("user prompt indicator of the wrong length");
                promptAt = pictures.size();
                promptCount = element.data[0];
            } else if (isPicture(element.id)) {
                auto strip = stripOf(element);
                if (!strip) return Failure::failure(strip.error());
                pictures.push_back(strip.value());
            }
        }
    }
    if (pictures.empty()) return std::nullopt;

    std::size_t first = 0;
    std::size_t count = 1;
    if (promptAt) {
        first = *promptAt;
        count = promptCount == 0 ? 1 : promptCount;
    }
    if (first + count > pictures.size()) {
        return Failure::failure("user prompt indicator for " + std::to_string(count) + " pictures, " +
                                std::to_string(pictures.size() - first) + " follow");
    }
    ReceivedLogo logo;
    logo.type = LogoType::EmsPicture;
    const unsigned height = pictures[first].height;
    unsigned widthOctets = 0;
    for (std::size_t i = first; i < first + count; ++i) {
        if (pictures[i].height != height) return Failure::failure("strips of different heights");
        widthOctets += pictures[i].widthOctets;
    }
    if (widthOctets * 8 > 0xFFFFu) return Failure::failure("picture wider than the store keeps");
    logo.bitmap.width = widthOctets * 8;
    logo.bitmap.height = height;
    // Rows of whole octets side by side are the running bits of the bitmap.
    logo.bitmap.bits.reserve(static_cast<std::size_t>(widthOctets) * height);
    for (unsigned y = 0; y < height; ++y) {
        for (std::size_t i = first; i < first + count; ++i) {
            const Strip& strip = pictures[i];
            const auto row = strip.data->begin() + static_cast<std::ptrdiff_t>(strip.rowsAt + y * strip.widthOctets);
            logo.bitmap.bits.insert(logo.bitmap.bits.end(), row, row + strip.widthOctets);
        }
    }
    switch (message.alphabet) {
        case Alphabet::Gsm7:
            logo.text = gsm7ToUtf8(message.payload);
            break;
        case Alphabet::Ucs2:
            logo.text = ucs2ToUtf8(message.payload);
            break;
        case Alphabet::Octets:  // Latin-1
            for (std::uint8_t c : message.payload) {
                if (c >= 0x80) logo.text.push_back(static_cast<char>(0xC0 | (c >> 6)));
                logo.text.push_back(static_cast<char>(c >= 0x80 ? 0x80 | (c & 0x3F) : c));
            }
            break;
    }
    return logo;
}

}  // namespace pelorin::phone
