#pragma once

#include <memory>
#include <string>

#include "sms/encoding.h"

namespace pelorin {

class PostTarget;
class SerialPortOpener;
class Sleeper;
class StopToken;

// How the sends of this run reach a phone: the serial ports, the clock the
// dialogue waits by, and optionally a port used instead of the document's COM
// port (the simulated phone's, which is not stored). The worker keeps its own
// share of each, so they last as long as it runs.
struct SendLink {
    std::shared_ptr<SerialPortOpener> opener;
    std::shared_ptr<Sleeper> sleeper;
    std::string portOverride;
};

// The devices of this computer at the real waits.
SendLink makeSerialSendLink(std::string portOverride = {});

// The port a job goes out on: the link's own port if it has one, otherwise
// the document's COM port setting.
std::string sendPortName(const SendLink& link, const std::string& documentPort);

// How one job talks to the phone: reply-driven or at the fixed waits, and
// the token that stops it (none: it runs to its end).
struct SendWorkerOptions {
    bool replyDriven = true;
    std::shared_ptr<const StopToken> stop;
};

// Starts one detached thread that runs the job over `portName` and posts what
// it reports: status lines and captions to `dialog` (WM_SEND_STATUS,
// WM_SEND_CAPTION), then WM_SEND_END to `dialog` and the outcome text as
// WM_SEND_STATUS to `outcome`; a failure's detail goes on a second line of
// that text. After the end it touches neither the dialog nor the job: the
// job, the port name, the link and the stop token are its own shares, and it
// only closes the port before it ends.
void startSendWorker(std::shared_ptr<const SendJob> job, std::string portName, SendLink link,
                     SendWorkerOptions options, std::shared_ptr<PostTarget> dialog,
                     std::shared_ptr<PostTarget> outcome);

// Send workers that have not yet finished (closing the port comes after the
// end is posted). For an orderly exit and for tests.
int runningSendWorkers();

}  // namespace pelorin
