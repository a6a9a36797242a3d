#include <algorithm>
#include <array>

#include "sms/ems.h"
#include "util/text.h"

// Reading EMS pictures back: the header's elements checked against the
// octets present, the pictures of each message put together in sequence
// order, and their place on a canvas.

namespace pelorin {

namespace {

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

}  // namespace pelorin
