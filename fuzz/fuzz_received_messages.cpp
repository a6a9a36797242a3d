// Feeds arbitrary bytes to the reading of messages from a phone: as one PDU
// to the SMS-DELIVER decoder, as a phone's AT+CMGL listing (whose entries are
// then put together and recognised), and cut into several PDUs that may
// belong together.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "sms/deliver_pdu.h"
#include "sms/inbox_reader.h"
#include "sms/received_messages.h"
#include "util/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelorin;
    const std::span<const std::uint8_t> bytes(data, size);
    (void)readReportedPdu(bytes);

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // As receive prints them: no control character survives the escaping.
    for (const ReceivedItem& item : collectReceived(parseMessageListing(text, "SM")))
        for (const std::string* field : {&item.sender, &item.text, &item.reason})
            for (const char c : escapedForDisplay(*field))
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) __builtin_trap();
    for (const char c : escapedForDisplay(text))
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) __builtin_trap();

    // Up to four PDUs cut at the positions the first octets name.
    if (size > 4) {
        std::vector<StoredPdu> listed;
        std::size_t start = 4;
        for (unsigned i = 0; i < 4 && start <= size; ++i) {
            const std::size_t length = std::min<std::size_t>(data[i], size - start);
            listed.push_back({"SM", i + 1, 0, hexBytes(data + start, length)});
            start += length;
        }
        (void)collectReceived(listed);
    }
    return 0;
}
