// Feeds arbitrary bytes to the simulated phone: as a TPDU to the decoder and
// on to reassembly and logo reading, as hex text after AT+CMGS, and as raw
// line input to the AT dialogue (with an inbox that echoes what it is sent),
// as an inbox file, and as inbox lines arriving in pieces while the phone
// runs, each announced as the dialogue's AT+CNMI asked.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "phone/inbox.h"
#include "phone/logo_payload.h"
#include "phone/modem.h"
#include "phone/reassembly.h"
#include "phone/submit_pdu.h"

namespace {

void readMessage(pelorin::phone::Reassembler& reassembler, const pelorin::phone::SubmitMessage& message) {
    auto result = reassembler.add(message);
    if (result.message) (void)pelorin::phone::interpretLogo(*result.message);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelorin::phone;
    const std::span<const std::uint8_t> bytes(data, size);

    // The whole input as one TPDU, and split at its first octet into a run of
    // parts that may belong together.
    Reassembler reassembler;
    if (auto message = decodeSubmit(bytes)) readMessage(reassembler, message.value());
    if (size > 1) {
        const std::size_t cut = 1 + data[0] % (size - 1);
        for (auto part : {bytes.subspan(1, cut - 1), bytes.subspan(cut)}) {
            if (auto message = decodeSubmit(part)) readMessage(reassembler, message.value());
        }
    }

    // The payload readers on their own, for each port.
    for (std::uint16_t port : {kOperatorLogoPort, kGroupGraphicPort, kPictureMessagePort}) {
        CompletedMessage message;
        message.destinationPort = port;
        message.payload.assign(data, data + size);
        (void)interpretLogo(message);
    }

    // As typed text: hex after AT+CMGS, and as a whole dialogue.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)decodeSubmitText(text, size > 0 ? data[0] : 0u);
    PhoneOptions options;
    options.echoToInbox = true;
    if (auto inbox = parseInboxText(text)) options.inbox = std::move(inbox.value());
    Modem modem(options, [&reassembler](const SubmitMessage& part) {
        readMessage(reassembler, part);
        return true;
    });
    modem.receive(text, Modem::Clock::time_point{});
    InboxLineReader lines;
    const std::size_t half = size / 2;
    for (const auto piece : {text.substr(0, half), text.substr(half)}) {
        for (auto& line : lines.add(piece)) {
            if (line.message && line.message.value()) {
                (void)line.message.value()->messageClass();
                modem.receiveMessage(std::move(*line.message.value()), Modem::Clock::time_point{});
            }
        }
    }
    (void)modem.takeOutput(Modem::Clock::time_point::max());
    return 0;
}
