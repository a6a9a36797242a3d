// Feeds arbitrary bytes to the readers of what a Kannel gateway sends back
// (smsbox's answer to a sendsms request) and to the Kannel address reader,
// and builds the request for a part made of the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "smsc/kannel_client.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelorin;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto reply = smsc::readSendsmsReply(text);
    if (reply.text.size() > 200) __builtin_trap();
    std::string error;
    const auto address = smsc::parseKannelAddress(text, error);
    smsc::SubmitFields part;
    part.destination.digits = "4917";
    part.shortMessage.assign(data, data + std::min<std::size_t>(size, 140));
    (void)smsc::sendsmsTarget(address.value_or(smsc::KannelAddress{}), std::string(text), part);
    return 0;
}
