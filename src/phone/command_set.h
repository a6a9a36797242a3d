#pragma once

// The standard AT commands the simulated phone answers besides the send
// dialogue, so that general phone programs can identify and drive it:
// V.25ter basics, 3GPP TS 27.007 identification, SIM, signal and network
// queries, and the 27.005 message-service settings. Each answer is the whole
// reply, final result included.

#include <optional>
#include <string>

namespace pelorin::phone {

class CommandSet {
public:
    // network: the registered network as five or six digits (MCC then MNC),
    // empty for a phone that is not registered.
    explicit CommandSet(std::string network) : network_(std::move(network)) {}

    // The answer to one command (upper case, blanks removed, "AT" stripped),
    // or nothing when the command is not one of these.
    std::optional<std::string> answer(const std::string& command);

    // The final result for a command that failed: "ERROR", or the
    // +CME ERROR form that AT+CMEE selected.
    std::string error() const;
    // Back to the settings at switch-on (ATZ).
    void reset();

private:
    std::optional<std::string> messageService(const std::string& command);
    std::optional<std::string> network(const std::string& command);

    std::string network_;
    int errorMode_ = 0;  // AT+CMEE: 0 plain ERROR, 1 numeric, 2 verbose
    std::string charset_ = "GSM";
    int operatorFormat_ = 0;  // AT+COPS=3,<format>
    std::string newMessageIndications_ = "0,0,0,0,0";
};

}  // namespace pelorin::phone
