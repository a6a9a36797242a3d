#pragma once

#include "platform/cancel_token.h"

namespace pelorin::cli {

// While the phone's port is open, SIGINT, SIGTERM, SIGHUP and SIGPIPE do not
// end the program at once: they cancel interruptToken(), so that the dialogue
// stops at its next wait and gives the port back, and the program then exits
// with 128 + the signal's number.
void catchInterrupts();

const CancelToken& interruptToken();

// The first of those signals that arrived; 0 when none did.
int interruptSignal();

}  // namespace pelorin::cli
