#include "sms/ems.h"

#include <algorithm>
#include <array>
#include <map>

#include "sms/deliver_pdu.h"
#include "sms/encoding.h"
#include "util/text.h"

namespace pelorin {

namespace {

constexpr unsigned kUserDataOctets = 140;
constexpr unsigned kUserDataSeptets = 160;
constexpr unsigned kConcatenationOctets = 5;  // 00 03 reference total sequence
constexpr unsigned kPromptOctets = 3;         // 13 01 count
constexpr unsigned kVariableHead = 5;         // 12 length position width height

// The septet of every character of the default alphabet and its extension
// table, found by decoding each code once.
const std::map<char32_t, std::vector<std::uint8_t>>& septetTable() {
    static const auto table = [] {
        std::map<char32_t, std::vector<std::uint8_t>> built;
        for (std::uint8_t code = 0; code < 0x80; ++code) {
            if (code == 0x1B) continue;
            const std::array<std::uint8_t, 2> escaped{0x1B, code};
            const std::u32string extension = decodeUtf8(gsm7Text(escaped));
            const std::u32string plain = decodeUtf8(gsm7Text(std::span(&code, 1)));
            if (extension.size() == 1 && plain.size() == 1 && extension != plain)
                built.emplace(extension[0], std::vector<std::uint8_t>{0x1B, code});
            if (plain.size() == 1) built.insert_or_assign(plain[0], std::vector<std::uint8_t>{code});
        }
        return built;
    }();
    return table;
}

// The text's characters coded one by one, so that a part never ends inside
// an escape or a surrogate pair.
std::vector<std::vector<std::uint8_t>> codedCharacters(const std::u32string& text, bool& ucs2) {
    std::vector<std::vector<std::uint8_t>> coded;
    ucs2 = !gsm7Septets(text);
    for (char32_t c : text) {
        if (!ucs2) {
            coded.push_back(septetTable().at(c));
            continue;
        }
        auto unit = [](char32_t u) {
            return std::vector<std::uint8_t>{static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u)};
        };
        if (c >= 0x10000 && c <= 0x10FFFF) {
            const char32_t v = c - 0x10000;
            auto high = unit(0xD800 + (v >> 10));
            const auto low = unit(0xDC00 + (v & 0x3FF));
            high.insert(high.end(), low.begin(), low.end());
            coded.push_back(std::move(high));
        } else {
            coded.push_back(unit(c > 0xFFFF ? U'\uFFFD' : c));
        }
    }
    return coded;
}

// Room for text, in septets or octets, behind a header of so many octets
// (its length octet not counted).
unsigned textRoom(std::size_t headerOctets, bool ucs2) {
    const std::size_t withLength = headerOctets + 1;
    if (ucs2) return withLength >= kUserDataOctets ? 0 : static_cast<unsigned>(kUserDataOctets - withLength);
    const std::size_t headerSeptets = (withLength * 8 + 6) / 7;
    return headerSeptets >= kUserDataSeptets ? 0 : static_cast<unsigned>(kUserDataSeptets - headerSeptets);
}

// Rows of the canvas's octet columns [first, first + count), blank beyond
// its right edge.
std::vector<std::uint8_t> stripRows(const Canvas& canvas, unsigned first, unsigned count) {
    std::vector<std::uint8_t> rows;
    rows.reserve(static_cast<std::size_t>(count) * static_cast<unsigned>(canvas.height()));
    for (int y = 0; y < canvas.height(); ++y) {
        for (unsigned octet = first; octet < first + count; ++octet) {
            std::uint8_t value = 0;
            for (unsigned bit = 0; bit < 8; ++bit) {
                const int x = static_cast<int>(octet * 8 + bit);
                if (x < canvas.width() && canvas.isSet(x, y)) value |= static_cast<std::uint8_t>(0x80u >> bit);
            }
            rows.push_back(value);
        }
    }
    return rows;
}

// Moves as many coded characters as fit in room into text.
void fillText(std::vector<std::uint8_t>& text, unsigned room, const std::vector<std::vector<std::uint8_t>>& characters,
              std::size_t& next) {
    while (next < characters.size() && text.size() + characters[next].size() <= room) {
        text.insert(text.end(), characters[next].begin(), characters[next].end());
        ++next;
    }
}

}  // namespace

std::optional<std::vector<std::uint8_t>> gsm7Septets(std::u32string_view text) {
    std::vector<std::uint8_t> septets;
    const auto& table = septetTable();
    for (char32_t c : text) {
        const auto found = table.find(c);
        if (found == table.end()) return std::nullopt;
        septets.insert(septets.end(), found->second.begin(), found->second.end());
    }
    return septets;
}

std::vector<std::uint8_t> emsPictureElement(unsigned widthOctets, unsigned height, std::span<const std::uint8_t> rows,
                                            std::uint8_t position) {
    std::vector<std::uint8_t> element;
    if (widthOctets == 2 && height == 16) {
        element = {kEmsSmallPicture, 33, position};
    } else if (widthOctets == 4 && height == 32) {
        element = {kEmsLargePicture, 129, position};
    } else {
        element = {kEmsVariablePicture, static_cast<std::uint8_t>(3 + rows.size()), position,
                   static_cast<std::uint8_t>(widthOctets), static_cast<std::uint8_t>(height)};
    }
    element.insert(element.end(), rows.begin(), rows.end());
    return element;
}

EmsMessages layOutEmsPicture(const Canvas& canvas, std::string_view text, std::uint8_t reference) {
    std::u32string characters = decodeUtf8(text);
    if (characters.size() > kMaxEmsText) characters.resize(kMaxEmsText);
    EmsMessages messages;
    const auto coded = codedCharacters(characters, messages.ucs2);
    std::size_t codedTotal = 0;
    for (const auto& c : coded) codedTotal += c.size();

    const unsigned widthOctets = static_cast<unsigned>(canvas.width() + 7) / 8;
    const unsigned height = static_cast<unsigned>(canvas.height());
    if (widthOctets == 0 || height == 0) return messages;

    // One message when the whole picture and all of the text fit.
    const std::size_t wholeHeader = kVariableHead + static_cast<std::size_t>(widthOctets) * height;
    if (wholeHeader < kUserDataOctets && codedTotal <= textRoom(wholeHeader, messages.ucs2)) {
        EmsUserData part;
        part.header = emsPictureElement(widthOctets, height, stripRows(canvas, 0, widthOctets));
        for (const auto& c : coded) part.text.insert(part.text.end(), c.begin(), c.end());
        messages.parts.push_back(std::move(part));
        return messages;
    }

    // Strips as wide as a part holds; the prompt indicator only in front of
    // several.
    const std::size_t rowRoom = kUserDataOctets - 1 - kConcatenationOctets - kVariableHead;
    if (rowRoom / height == 0) return messages;
    const bool prompt = widthOctets > rowRoom / height;
    unsigned done = 0;
    while (done < widthOctets) {
        const std::size_t room = rowRoom - (prompt && done == 0 ? kPromptOctets : 0);
        const unsigned count = std::min<unsigned>(widthOctets - done, static_cast<unsigned>(room / height));
        EmsUserData part;
        part.header.resize(kConcatenationOctets);
        if (prompt && done == 0) {
            unsigned strips = 1;
            for (unsigned rest = widthOctets - count; rest > 0; ++strips)
                rest -= std::min<unsigned>(rest, static_cast<unsigned>(rowRoom / height));
            part.header.insert(part.header.end(), {kEmsUserPrompt, 1, static_cast<std::uint8_t>(strips)});
        }
        const auto element = emsPictureElement(count, height, stripRows(canvas, done, count));
        part.header.insert(part.header.end(), element.begin(), element.end());
        messages.parts.push_back(std::move(part));
        done += count;
    }
    std::size_t next = 0;
    fillText(messages.parts.back().text, textRoom(messages.parts.back().header.size(), messages.ucs2), coded, next);
    while (next < coded.size()) {
        EmsUserData part;
        part.header.resize(kConcatenationOctets);
        fillText(part.text, textRoom(part.header.size(), messages.ucs2), coded, next);
        messages.parts.push_back(std::move(part));
    }
    const auto total = static_cast<std::uint8_t>(messages.parts.size());
    for (std::size_t i = 0; i < messages.parts.size(); ++i) {
        auto& header = messages.parts[i].header;
        header[0] = 0x00;
        header[1] = 0x03;
        header[2] = reference;
        header[3] = total;
        header[4] = static_cast<std::uint8_t>(i + 1);
    }
    return messages;
}

std::vector<std::uint8_t> packEmsUserData(const EmsUserData& part, bool ucs2, unsigned& length) {
    std::vector<std::uint8_t> data;
    data.push_back(static_cast<std::uint8_t>(part.header.size()));
    data.insert(data.end(), part.header.begin(), part.header.end());
    if (ucs2) {
        data.insert(data.end(), part.text.begin(), part.text.end());
        length = static_cast<unsigned>(data.size());
        return data;
    }
    const std::size_t headerSeptets = (data.size() * 8 + 6) / 7;
    length = static_cast<unsigned>(headerSeptets + part.text.size());
    data.resize((static_cast<std::size_t>(length) * 7 + 7) / 8, 0);
    for (std::size_t i = 0; i < part.text.size(); ++i) {
        const std::size_t bit = (headerSeptets + i) * 7;
        const unsigned value = part.text[i] & 0x7Fu;
        data[bit / 8] = static_cast<std::uint8_t>(data[bit / 8] | (value << (bit % 8)));
        if (bit % 8 > 1) data[bit / 8 + 1] = static_cast<std::uint8_t>(data[bit / 8 + 1] | (value >> (8 - bit % 8)));
    }
    return data;
}

std::vector<MessagePart> buildEmsPictureParts(const Canvas& canvas, std::string_view text, bool report,
                                              const DestinationAddress& address) {
    // One reference for the job, taken from what it carries, so that two
    // different pictures sent one after the other are not mixed up.
    std::uint32_t hash = 2166136261u;
    auto mix = [&hash](unsigned value) { hash = (hash ^ (value & 0xFFu)) * 16777619u; };
    for (int x = 0; x < canvas.width(); ++x)
        for (int y = 0; y < canvas.height(); ++y) mix(canvas.isSet(x, y) ? 1u : 0u);
    for (char c : text) mix(static_cast<unsigned char>(c));
    const auto reference = static_cast<std::uint8_t>(hash ^ (hash >> 8) ^ (hash >> 16) ^ (hash >> 24));

    const EmsMessages messages = layOutEmsPicture(canvas, text, reference);
    std::vector<MessagePart> parts;
    for (std::size_t i = 0; i < messages.parts.size(); ++i) {
        unsigned length = 0;
        const auto userData = packEmsUserData(messages.parts[i], messages.ucs2, length);
        const bool last = i + 1 == messages.parts.size();
        std::string pdu = std::string("00") + (report && last ? "71" : "51") + "00" + address.field + "00" +
                          (messages.ucs2 ? "08" : "00") + "A7" + hexOctet(length) +
                          hexBytes(userData.data(), userData.size());
        const std::string caption = messages.parts.size() == 1 ? "Sending SMS"
                                                               : "Sending SMS " + std::to_string(i + 1) + "/" +
                                                                     std::to_string(messages.parts.size());
        MessagePart part;
        part.pdu = std::move(pdu);
        part.length = address.AddressOctets + 8 + static_cast<int>(userData.size());
        part.caption = caption;
        // What an SMS centre takes of the same part. UCS-2 goes as the PDU's
        // octets; text of the default alphabet goes as SMPP carries it: the
        // header's octets, then one character an octet, which the centre
        // packs into septets behind the header as the PDU has them.
        if (messages.ucs2) {
            part.userData = userData;
        } else {
            const EmsUserData& layout = messages.parts[i];
            part.userData.push_back(static_cast<std::uint8_t>(layout.header.size()));
            part.userData.insert(part.userData.end(), layout.header.begin(), layout.header.end());
            for (std::uint8_t septet : layout.text) part.userData.push_back(septet & 0x7F);
        }
        part.dataCoding = messages.ucs2 ? 0x08 : 0x00;
        part.statusReport = report && last;
        part.destinationDigits = address.digits;
        part.international = address.international;
        parts.push_back(std::move(part));
    }
    return parts;
}

}  // namespace pelorin
