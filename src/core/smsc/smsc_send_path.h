#pragma once

// A job sent through an SMS centre: an SMPP 3.4 centre (smpp://) or a
// Kannel gateway's smsbox (kannel://), to one number or many in one
// session. The same interface as a phone on a serial port (SendPath).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sms/send_path.h"
#include "smsc/kannel_client.h"
#include "smsc/smpp_client.h"
#include "smsc/smsc_address.h"

namespace pelorin::smsc {

// Where the centre is: exactly one of the two is set.
struct SmscRoute {
    std::optional<SmscAddress> smpp;
    std::optional<KannelAddress> kannel;
};

// Reads an smpp:// or kannel:// address; nothing and error set when it is
// neither or cannot be used.
std::optional<SmscRoute> parseSmscRoute(std::string_view url, std::string& error);

// Nothing, or why the password cannot be used with this route (SMPP 3.4
// holds at most 8 characters; Kannel has no limit).
std::optional<std::string> passwordProblem(const SmscRoute& route, const std::string& password);

// Submits the items through the route's centre, telling listener of each:
// one SMPP session, or one sendsms request a part. Returns "" when every
// item was handled, else why the run ended early.
std::string runSmscSession(const SmscRoute& route, const std::string& password, const SmppOptions& options,
                           const std::vector<SmppItem>& items, SmppListener& listener);

// The outcomes a centre gives a number, beside the dialogue's own texts.
inline constexpr std::string_view kCentreRefusedOutcome = "Message send error";
inline constexpr std::string_view kCentreSilentOutcome = "Message send timeout";
inline constexpr std::string_view kCentreUnreachableOutcome = "Error in connection";
inline constexpr std::string_view kNoCentreAnswerDetail =
    "The connection to the SMS centre was lost before it answered; the message may still be delivered";

class SmscSendPath final : public SendPath {
public:
    SmscSendPath(SmscRoute route, std::string password, SmppOptions options)
        : route_(std::move(route)), password_(std::move(password)), options_(std::move(options)) {}

    // Every number's parts in one session. A part the centre refuses fails
    // its number with the centre's reason as the detail; a part sent when the
    // line was lost leaves its number "Message send timeout"; numbers not
    // reached when the session ended early fail with why. Each number's
    // detail and end are reported once the session is over.
    std::vector<RecipientOutcome> send(const SendJob& job, const std::vector<std::string>& numbers,
                                       SendReporter& reporter) override;

    // The last send ended because the centre would not take the login (a
    // wrong system id or password; for Kannel, smsbox's "Authorization
    // failed").
    bool loginRefused() const { return loginRefused_; }

private:
    bool loginRefused_ = false;
    SmscRoute route_;
    std::string password_;
    SmppOptions options_;
};

}  // namespace pelorin::smsc
