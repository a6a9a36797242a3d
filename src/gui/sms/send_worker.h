#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sms/encoding.h"

namespace pelorin {

class CancelToken;
class PinSource;
class PostTarget;
class SerialPortOpener;
class Sleeper;

// How the sends of this run reach a phone: the serial ports, the clock the
// dialogue waits by, and optionally a port used instead of the document's COM
// port (the simulated phone's, which is not stored). The worker keeps its own
// share of each, so they last as long as it runs.
struct SendLink {
    std::shared_ptr<SerialPortOpener> opener;
    std::shared_ptr<Sleeper> sleeper;
    std::string portOverride;
    // Likewise an SMS centre used instead of the stored one (the simulated
    // phone's), with its password.
    std::string centreOverride = {};
    std::string centrePassword = {};
};

// Where a job goes: the phone on the serial port (no centre), or the SMS
// centre at this smpp:// or kannel:// address with its password.
struct SendRoute {
    std::string centre;
    std::string password;
};

// The devices of this computer at the real waits.
SendLink makeSerialSendLink(std::string portOverride = {});

// The port a job goes out on: the link's own port if it has one, otherwise
// the document's COM port setting.
std::string sendPortName(const SendLink& link, const std::string& documentPort);

// Starts one phone task that runs the job over `portName` and posts what
// it reports: status lines and captions to `dialog` (WM_SEND_STATUS,
// WM_SEND_CAPTION), then WM_SEND_END to `dialog` and the outcome text as
// WM_SEND_STATUS to `outcome`. After the end it touches neither the dialog nor
// the job: the job, the port name and the link are its own shares, and it
// only closes the port before it ends.
//
// cancel (made here when not given) stops the job at its next wait once it
// is cancelled, from any thread: the worker then ends the job with
// kSendCancelledOutcome, a phone waiting for a PDU having been sent ESC, and
// gives the port back as after any other end.
//
// replyDriven goes on as soon as the phone's reply is complete (same bytes,
// same bounds) instead of after the fixed waits. A failure's detail goes on a
// second line of the outcome text, and a cancelled job's outcome reads
// kSendingStoppedOutcome. A job to several numbers posts WM_SEND_RECIPIENT
// ("Sending to 2 of 3") before each, and its outcome is
// DescribeSeveralOutcomes's.
// What the Settings dialog chose for the phones people own, and where the
// worker gets the SIM's PIN.
struct SendLineOptions {
    bool slowWrites = false;
    std::string smsCentre;
    // The folder of the logs of the phone dialogue (the newest kKeptLineLogs
    // kept); empty: no log. A failed send's outcome names its log.
    std::filesystem::path logFolder;
    std::shared_ptr<PinSource> pin;
    // The numbers the job goes to, one after another over the phone, in one
    // session through a centre; empty: the job's own Number.
    std::vector<std::string> numbers = {};
    SendRoute route = {};
};

void startSendWorker(std::shared_ptr<const SendJob> job, std::string portName, SendLink link,
                     std::shared_ptr<PostTarget> dialog, std::shared_ptr<PostTarget> outcome,
                     std::shared_ptr<CancelToken> cancel = {}, bool replyDriven = false, SendLineOptions line = {});

// What the outcome box says of a send that was stopped (by "Stop", or by the
// program being asked to quit).
inline constexpr std::string_view kSendingStoppedOutcome = "Sending stopped";

// The text of WM_SEND_END when the SMS centre would not take the login, so
// that its password is asked again next time.
inline constexpr std::string_view kLoginRefusedEnd = "login refused";

// What the progress dialog says while a job goes to several numbers.
std::string sendingToText(std::size_t index, std::size_t count);

// The workers are phone tasks (phone_tasks.h): these two are
// cancelPhoneTasks and runningPhoneTasks, which count every phone task
// (closing the port comes after the end is posted).
void cancelSendWorkers();
int runningSendWorkers();

}  // namespace pelorin
