#pragma once

// Sending through a Kannel gateway's smsbox over HTTP:
//   kannel://USER@HOST[:PORT][?smsc=ID&from=S]   (port 13013 by default)
// Each part is one GET /cgi-bin/sendsms carrying its header as %XX octets, a
// validity of a day, and a delivery report asked when the part asks for one.
// Its data goes by the part's data coding, so that Kannel neither splits nor
// recodes it:
//   0xF5 (logos, ringtones, picture messages): the octets as %XX, 8-bit data
//        with message class 1 written as the F0 group (coding=1, mclass=1,
//        alt-dcs=1);
//   0x00 (text in the default alphabet, one GSM code an octet): the text as
//        UTF-8 (coding=0, charset=UTF-8), which Kannel codes back into the
//        same GSM codes;
//   0x08 (UCS-2 text): its octets as %XX (coding=2, charset=UTF-16BE).
// Every part fits one message, header included, so Kannel sends each as one
// submit without a concatenation header of its own.
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
