#pragma once

// Sending through a Kannel gateway's smsbox over HTTP:
//   kannel://USER@HOST[:PORT][?smsc=ID&from=S]   (port 13013 by default)
// Each part is one GET /cgi-bin/sendsms carrying its header and its data as
// %XX octets, so that Kannel never splits, cuts or recodes it: 8-bit data,
// message class 1 written as the F0 group (the data coding is 0xF5), a
// validity of a day, and a delivery report asked when the part asks for one.
// The password is read as for an SMPP centre (readSmscPassword), never from
// the address.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cancel_token.h"
#include "smsc/smpp_client.h"

namespace pelorin::smsc {

struct KannelAddress {
    std::string user;
    std::string host;
    std::uint16_t port = 13013;
    std::string smsc;  // smsc= : the route Kannel sends through (empty: its default)
    std::string from;  // from= : the sender (empty: Kannel's default)
};

// Nothing returned and error set when the address cannot be used.
std::optional<KannelAddress> parseKannelAddress(std::string_view url, std::string& error);

// The path and query of the sendsms request for one part.
std::string sendsmsTarget(const KannelAddress& address, const std::string& password, const SubmitFields& part);

// What smsbox answered: accepted ("0: Accepted for delivery", or "3: Queued
// for later delivery", then queued is true) or not, with Kannel's text (its
// first line, control characters as spaces, at most 200 characters).
struct SendsmsReply {
    bool accepted = false;
    bool queued = false;
    std::string text;
};
SendsmsReply readSendsmsReply(std::string_view body);

struct KannelOptions {
    long timeoutSeconds = 30;  // one request, connecting included
    const CancelToken* cancel = nullptr;
};

// Sends every item, one request each, in order, telling listener what
// became of each (accepted with "accepted" or "queued" as the message id,
// since Kannel names none; failed with Kannel's text; unknown when the
// request went out and no answer came). Returns "" when every item was
// handled, else why the run ended early (smsbox cannot be reached, cancel).
std::string runKannelSession(const KannelAddress& address, const std::string& password, const KannelOptions& options,
                             const std::vector<SmppItem>& items, SmppListener& listener);

}  // namespace pelorin::smsc
