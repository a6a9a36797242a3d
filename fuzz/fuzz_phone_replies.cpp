// Feeds arbitrary bytes, as a phone might send them, to the readers of phone
// replies: when a reply is complete, the +CMS/+CME error in it and its
// description, the operator in a +COPS answer. None may read outside the
// bytes given, and what they return must come from those bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sms/at_reply.h"
#include "sms/phone_errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelorin;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ReplyEnd plain = scanReply(text, false);
    const ReplyEnd prompted = scanReply(text, true);
    if (plain == ReplyEnd::Prompt) __builtin_trap();
    if (plain == ReplyEnd::Final && prompted != ReplyEnd::Final) __builtin_trap();

    if (const auto error = findPhoneError(text)) {
        if (error->text.size() > 80) __builtin_trap();
        if (plain != ReplyEnd::Final) __builtin_trap();  // an error line is a final result
        const std::string line = describePhoneError(*error);
        if (line.empty()) __builtin_trap();
        (void)cmsErrorCode(error->text);
        (void)cmeErrorCode(error->text);
    }
    if (const auto cops = findOperatorReply(text)) {
        if (cops->network.size() > 32 || cops->format > 9) __builtin_trap();
    }
    return 0;
}
