#include "interrupt.h"

#include <signal.h>

namespace pelorin::cli {

namespace {

CancelToken token;
volatile sig_atomic_t firstSignal = 0;

// Only async-signal-safe work: one store of a sig_atomic_t and one lock-free
// atomic store.
extern "C" void onInterrupt(int signalNumber) {
    if (firstSignal == 0) firstSignal = signalNumber;
    token.cancel();
}

}  // namespace

void catchInterrupts() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // Restarted system calls keep standard output's writes whole; the port's
    // reads wait in poll(), which returns within 100 ms either way.
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::sigaction(signalNumber, &action, nullptr);
}

const CancelToken& interruptToken() { return token; }

int interruptSignal() { return firstSignal; }

}  // namespace pelorin::cli
