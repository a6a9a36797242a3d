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

struct Element {
    std::uint8_t id = 0;
    std::span<const std::uint8_t> data;
};

// The header's elements, or false when one runs past its end.
bool elementsOf(std::span<const std::uint8_t> header, std::vector<Element>& elements) {
    std::size_t at = 0;
    while (at < header.size()) {
        if (header.size() - at < 2) return false;
        const std::uint8_t id = header[at];
        const std::size_t length = header[at + 1];
        at += 2;
        if (length > header.size() - at) return false;
        elements.push_back({id, header.subspan(at, length)});
        at += length;
    }
    return true;
}

std::string hexName(std::uint8_t id) { return "element " + hexOctet(id); }

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

bool EmsReading::pixel(unsigned x, unsigned y) const {
    const unsigned stride = (width + 7) / 8;
    if (x >= width || y >= height) return false;
    const std::size_t at = static_cast<std::size_t>(y) * stride + x / 8;
    return at < rows.size() && (rows[at] & (0x80u >> (x % 8))) != 0;
}

bool hasEmsPicture(std::span<const std::uint8_t> header) {
    std::vector<Element> elements;
    if (!elementsOf(header, elements)) return false;
    return std::any_of(elements.begin(), elements.end(), [](const Element& e) {
        return e.id == kEmsLargePicture || e.id == kEmsSmallPicture || e.id == kEmsVariablePicture;
    });
}

EmsDecodeResult decodeEmsPictures(const std::vector<std::span<const std::uint8_t>>& headers) {
    EmsDecodeResult result;
    struct Event {
        bool prompt = false;
        unsigned count = 0;  // prompt
        EmsPictureSeen picture;
    };
    std::vector<Event> events;
    unsigned pictures = 0;
    for (std::size_t part = 0; part < headers.size(); ++part) {
        std::vector<Element> elements;
        if (!elementsOf(headers[part], elements)) {
            result.why = "an information element runs past the header of part " + std::to_string(part + 1);
            return result;
        }
        for (const Element& element : elements) {
            const auto size = element.data.size();
            Event event;
            if (element.id == kEmsUserPrompt) {
                if (size != 1) {
                    result.why = hexName(element.id) + " is " + std::to_string(size) + " octets long, not 1";
                    return result;
                }
                event.prompt = true;
                event.count = element.data[0];
                events.push_back(std::move(event));
                continue;
            }
            unsigned widthOctets = 0;
            unsigned height = 0;
            std::size_t rowsAt = 1;
            if (element.id == kEmsSmallPicture || element.id == kEmsLargePicture) {
                widthOctets = element.id == kEmsSmallPicture ? 2 : 4;
                height = widthOctets * 8;
                if (size != 1 + static_cast<std::size_t>(widthOctets) * height) {
                    result.why = hexName(element.id) + " is " + std::to_string(size) + " octets long, not " +
                                 std::to_string(1 + widthOctets * height);
                    return result;
                }
            } else if (element.id == kEmsVariablePicture) {
                if (size < 3) {
                    result.why = hexName(element.id) + " is " + std::to_string(size) + " octets long, too short";
                    return result;
                }
                widthOctets = element.data[1];
                height = element.data[2];
                rowsAt = 3;
                if (widthOctets == 0 || height == 0 || size - 3 != static_cast<std::size_t>(widthOctets) * height) {
                    result.why = hexName(element.id) + " says " + std::to_string(widthOctets) + " octets by " +
                                 std::to_string(height) + " rows, but " + std::to_string(size - 3) + " octets follow";
                    return result;
                }
            } else {
                continue;
            }
            event.picture.widthOctets = widthOctets;
            event.picture.height = height;
            event.picture.rows.assign(element.data.begin() + static_cast<std::ptrdiff_t>(rowsAt), element.data.end());
            events.push_back(std::move(event));
            ++pictures;
        }
    }
    if (pictures == 0) return result;

    // The strips a prompt indicator announces, or else the first picture.
    std::size_t first = 0;
    unsigned wanted = 1;
    const auto prompt = std::find_if(events.begin(), events.end(), [](const Event& e) { return e.prompt; });
    if (prompt != events.end()) {
        first = static_cast<std::size_t>(prompt - events.begin()) + 1;
        wanted = std::max(1u, prompt->count);
    }
    std::vector<const EmsPictureSeen*> strips;
    for (std::size_t i = first; i < events.size() && strips.size() < wanted; ++i)
        if (!events[i].prompt) strips.push_back(&events[i].picture);
    if (strips.size() < wanted) {
        result.why = "the prompt indicator announces " + std::to_string(wanted) + " strips, " +
                     std::to_string(strips.size()) + " follow";
        return result;
    }
    EmsReading reading;
    reading.pictures = pictures;
    reading.height = strips.front()->height;
    unsigned strideOctets = 0;
    for (const EmsPictureSeen* strip : strips) {
        if (strip->height != reading.height) {
            result.why = "strips of " + std::to_string(reading.height) + " and " + std::to_string(strip->height) +
                         " rows cannot stand side by side";
            return result;
        }
        strideOctets += strip->widthOctets;
    }
    reading.width = strideOctets * 8;
    reading.rows.reserve(static_cast<std::size_t>(strideOctets) * reading.height);
    for (unsigned y = 0; y < reading.height; ++y) {
        for (const EmsPictureSeen* strip : strips) {
            const auto row = strip->rows.begin() + static_cast<std::ptrdiff_t>(y * strip->widthOctets);
            reading.rows.insert(reading.rows.end(), row, row + strip->widthOctets);
        }
    }
    if (pictures > strips.size())
        reading.note = std::to_string(pictures - strips.size()) + " more picture" +
                       (pictures - strips.size() > 1 ? "s" : "") + " left out";
    result.reading = std::move(reading);
    return result;
}

LogoKind nearestEmsCanvas(unsigned width, unsigned height) {
    std::optional<LogoKind> best;
    long bestKept = -1;
    long bestArea = 0;
    for (LogoKind kind : {LogoKind::Operator, LogoKind::LargeOperator, LogoKind::Picture}) {
        const CanvasSize size = sizeOf(kind);
        const long kept = static_cast<long>(std::min<unsigned>(width, static_cast<unsigned>(size.width))) *
                          std::min<unsigned>(height, static_cast<unsigned>(size.height));
        const long area = size.pixels();
        if (!best || kept > bestKept || (kept == bestKept && area < bestArea)) {
            best = kind;
            bestKept = kept;
            bestArea = area;
        }
    }
    return *best;
}

Canvas emsOnCanvas(const EmsReading& reading, LogoKind kind, unsigned& cut) {
    Canvas canvas(sizeOf(kind));
    cut = 0;
    for (unsigned y = 0; y < reading.height; ++y) {
        for (unsigned x = 0; x < reading.width; ++x) {
            if (!reading.pixel(x, y)) continue;
            if (canvas.contains(static_cast<int>(x), static_cast<int>(y)))
                canvas.set(static_cast<int>(x), static_cast<int>(y), true);
            else
                ++cut;
        }
    }
    return canvas;
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
        parts.push_back({std::move(pdu), address.AddressOctets + 8 + static_cast<int>(userData.size()), caption});
    }
    return parts;
}

}  // namespace pelorin
