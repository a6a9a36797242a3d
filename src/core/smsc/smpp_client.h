#pragma once

// An SMPP 3.4 session with an SMS centre over TCP: bind, submit_sm for each
// part with a window of outstanding submits, back-off when the centre
// throttles, reconnection when the line drops, receipts, unbind.

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cancel_token.h"
#include "smsc/smpp_pdu.h"
#include "smsc/smsc_address.h"

namespace pelorin::smsc {

struct SmppOptions {
    std::size_t window = 10;      // submits sent before their answers
    double rate = 0;              // parts a second at most; 0: no limit
    int waitReceiptsSeconds = 0;  // > 0: bind as transceiver and wait this long for receipts
    std::chrono::milliseconds throttleFirst{1000};
    std::chrono::milliseconds throttleMost{30000};
    std::vector<std::chrono::milliseconds> reconnectDelays{std::chrono::seconds(1), std::chrono::seconds(5),
                                                           std::chrono::seconds(15)};
    std::chrono::milliseconds idleEnquire{30000};
    std::chrono::milliseconds answerTimeout{30000};  // a submit with no answer for this long: line taken as lost
    const CancelToken* cancel = nullptr;
};

// One part to submit; key is the caller's own name for it.
struct SmppItem {
    SubmitFields fields;
    std::size_t key = 0;
};

// What becomes of each part. Every key gets exactly one of accepted, failed
// or unknown (or none, when the run ends before it was sent).
class SmppListener {
public:
    virtual ~SmppListener() = default;
    // Called before the parts are written; when it returns true they are
    // sent, false ends the run (a journal that cannot be written).
    virtual bool beforeWindow(std::span<const std::size_t> keys) = 0;
    virtual void accepted(std::size_t key, const std::string& messageId) = 0;
    virtual void failed(std::size_t key, const std::string& reason) = 0;
    // Sent, but the line was lost before its answer came.
    virtual void unknown(std::size_t key) = 0;
    virtual void receipt(const std::string& messageId, const std::string& state) { (void)messageId, (void)state; }
};

// How runSmppSession's answer begins when the centre would not take the
// login: refused with a status, or the connection closed at the bind.
inline constexpr std::string_view kBindRefusedReason = "the SMS centre refused the bind: ";
inline constexpr std::string_view kBindDroppedReason =
    "the SMS centre closed the connection at the bind (a wrong system id or password?)";
bool IsRefusedLogin(std::string_view ended);

// Runs the whole session; returns "" when every part was handled (and the
// receipts waited for), else why the run ended early (a refused bind, a
// centre that cannot be reached, a cancel).
std::string runSmppSession(const SmscAddress& address, const std::string& password, const SmppOptions& options,
                           const std::vector<SmppItem>& items, SmppListener& listener);

// The submit for a part to number: destination 1/1 with "+", 0/1 without;
// source from the address's source= setting.
SubmitFields submitFor(const std::vector<std::uint8_t>& userData, bool statusReport, std::uint8_t dataCoding,
                       const std::string& number, const std::string& source);

}  // namespace pelorin::smsc
