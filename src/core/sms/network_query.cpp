#include "sms/network_query.h"

#include <algorithm>

#include "sms/at_reply.h"
#include "sms/phone_errors.h"
#include "util/text.h"

namespace pelorin {

namespace {

bool allDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

NetworkQueryResult withStatus(NetworkQueryResult::Status status, std::string detail) {
    NetworkQueryResult result;
    result.status = status;
    result.detail = std::move(detail);
    return result;
}

}  // namespace

NetworkQueryResult QueryNetwork(const std::string& portName, SerialPortOpener& opener, Sleeper& sleeper,
                                const DialogueOptions& options) {
    using Status = NetworkQueryResult::Status;
    if (isCancelled(options.cancel)) return withStatus(Status::Cancelled, "Cancelled");
    PortOpenFailure failure;
    const auto port = opener.openExplaining(portName, failure);
    if (!port) return withStatus(Status::CannotOpen, describePortOpenFailure(failure));

    AtChannel channel(*port, sleeper, options);
    // A phone that cannot switch the format may still answer in numbers, so
    // the answer to the first command is not held against it.
    if (!channel.exchange("AT+COPS=3,2\r\n", false) || !channel.exchange("AT+COPS?\r\n", false)) {
        if (channel.cancelled()) return withStatus(Status::Cancelled, "Cancelled");
        return withStatus(Status::NoAnswer, "The line to the phone failed");
    }
    const std::string_view reply = channel.reply();
    if (const auto error = findPhoneError(reply)) return withStatus(Status::Refused, describePhoneError(*error));
    const auto cops = findOperatorReply(reply);
    if (!cops) {
        if (scanReply(reply, false) == ReplyEnd::Final)
            return withStatus(Status::Refused, "The phone answered AT+COPS? without naming a network");
        return withStatus(Status::NoAnswer, "The phone did not answer AT+COPS?");
    }
    if (cops->format < 0) return withStatus(Status::NotRegistered, "The phone is not registered with a network");
    const std::string& code = cops->network;
    if (cops->format != 2 || (code.size() != 5 && code.size() != 6) || !allDigits(code)) {
        return withStatus(Status::Refused,
                          "The phone named its network as \"" + escapedForDisplay(code) + "\", not as MCC and MNC");
    }
    NetworkQueryResult result;
    result.status = Status::Found;
    result.mcc = code.substr(0, 3);
    result.mnc = code.substr(3);
    return result;
}

}  // namespace pelorin
