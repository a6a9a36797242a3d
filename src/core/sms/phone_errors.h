#pragma once

// The meanings of the error codes a phone reports: "+CMS ERROR: <err>" for
// short message service failures (3GPP TS 27.005, 3.2.5) and
// "+CME ERROR: <err>" for mobile equipment failures (3GPP TS 27.007, 9.2).

#include <optional>
#include <string>
#include <string_view>

#include "sms/at_reply.h"

namespace pelorin {

struct PhoneErrorCode {
    int code;
    const char* meaning;
};

// The meaning of a code, or nullptr when the table has no such code.
const char* cmsErrorMeaning(int code);
const char* cmeErrorMeaning(int code);

// The code whose meaning is this text (compared without regard to case or to
// the "(U)" that newer releases put before "SIM"), for phones that answer in
// the verbose form.
std::optional<int> cmsErrorCode(std::string_view meaning);
std::optional<int> cmeErrorCode(std::string_view meaning);

// One line for the user naming the code and what it means, for example
// "The phone answered +CMS ERROR: 304: invalid PDU mode parameter (3GPP TS 27.005)".
std::string describePhoneError(const PhoneErrorReply& reply);

}  // namespace pelorin
