#pragma once

// EMS pictures as a phone of another make shows them: picture elements in
// the user data header of a text message (0x10 large 32 x 32, 0x11 small
// 16 x 16, 0x12 variable: position, width in octets, height, rows), strips
// put side by side when a user prompt indicator (0x13) announces them.

#include <optional>

#include "phone/logo_payload.h"
#include "phone/reassembly.h"
#include "phone/result.h"

namespace pelorin::phone {

// Nothing when no part carries a picture element or the message goes to a
// port; otherwise the picture (type EmsPicture, the strips side by side)
// with the message's text, or why it cannot be read.
std::optional<Result<ReceivedLogo>> interpretEms(const CompletedMessage& message);

}  // namespace pelorin::phone
