// Feeds arbitrary bytes to both EMS picture decoders: the core's (used by
// receive) and the simulated phone's. The input is cut into up to four
// headers of parts at the lengths its first octets name; the rest is the
// text behind the last one.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "phone/ems_payload.h"
#include "sms/ems.h"

namespace {

// The header's elements as the phone's SMS-SUBMIT decoder hands them on;
// nothing when one runs past the header.
bool phoneElements(std::span<const std::uint8_t> header, std::vector<pelorin::phone::InformationElement>& elements) {
    std::size_t at = 0;
    while (at < header.size()) {
        if (header.size() - at < 2 || header[at + 1] > header.size() - at - 2) return false;
        elements.push_back({header[at],
                            {header.begin() + static_cast<std::ptrdiff_t>(at + 2),
                             header.begin() + static_cast<std::ptrdiff_t>(at + 2 + header[at + 1])}});
        at += 2 + header[at + 1];
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    const std::span<const std::uint8_t> bytes(data, size);
    std::vector<std::span<const std::uint8_t>> headers;
    std::size_t start = 5;
    const unsigned parts = 1 + data[0] % 4;
    for (unsigned i = 0; i < parts && start <= size; ++i) {
        const std::size_t length = std::min<std::size_t>(data[1 + i], size - start);
        headers.push_back(bytes.subspan(start, length));
        start += length;
    }
    const auto decoded = pelorin::decodeEmsPictures(headers);
    if (decoded.reading) {
        unsigned cut = 0;
        const auto kind = pelorin::nearestEmsCanvas(decoded.reading->width, decoded.reading->height);
        (void)pelorin::emsOnCanvas(*decoded.reading, kind, cut);
    }
    for (const auto& header : headers) (void)pelorin::hasEmsPicture(header);

    pelorin::phone::CompletedMessage message;
    message.alphabet = static_cast<pelorin::phone::Alphabet>(data[0] / 4 % 3);
    for (const auto& header : headers) {
        message.headers.emplace_back();
        if (!phoneElements(header, message.headers.back())) return 0;
        message.reportRequested.push_back(false);
    }
    message.payload.assign(bytes.begin() + static_cast<std::ptrdiff_t>(std::min(start, size)), bytes.end());
    (void)pelorin::phone::interpretEms(message);
    return 0;
}
