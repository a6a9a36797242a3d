#pragma once

// EMS pictures among the messages a phone holds: one message, or strips over
// concatenated parts, put on the nearest canvas at its top left.

#include <optional>
#include <vector>

#include "sms/deliver_pdu.h"
#include "sms/received_messages.h"

namespace pelorin {

// The item for a message whose parts (in sequence order) carry EMS
// pictures: an EmsPicture, or Skipped with why when they cannot be read.
// Nothing when no part holds a picture element or the message goes to a port.
std::optional<ReceivedItem> recogniseEms(ReceivedItem item, const std::vector<const DeliverMessage*>& parts);

}  // namespace pelorin
