#pragma once

// The standard AT commands the simulated phone answers besides the send
// dialogue, so that general phone programs can identify and drive it:
// V.25ter basics, 3GPP TS 27.007 identification, SIM, signal and network
// queries, and the 27.005 message-service settings. Each answer is the whole
// reply, final result included.

#include <optional>
#include <string>

#include "phone/inbox.h"

namespace pelorin::phone {

class CommandSet {
public:
    // network: the registered network as five or six digits (MCC then MNC),
    // empty for a phone that is not registered. ownNumber: what AT+CNUM
    // gives ("+" first when international), empty for none.
    explicit CommandSet(std::string network, std::string ownNumber = {})
        : network_(std::move(network)), ownNumber_(std::move(ownNumber)) {}

    // The answer to one command (upper case, blanks removed, "AT" stripped),
    // or nothing when the command is not one of these.
    std::optional<std::string> answer(const std::string& command);

    // The final result for a command that failed: "ERROR", or the
    // +CME ERROR form that AT+CMEE selected.
    std::string error() const;
    // Back to the settings at switch-on (ATZ).
    void reset();

    // The first two values of AT+CNMI: <mode> (0 keeps indications in the
    // phone, 1 to 3 send them) and <mt> (which new messages are announced).
    struct NewMessageIndications {
        unsigned mode = 0;
        unsigned mt = 0;
    };
    NewMessageIndications newMessageIndications() const;

    // The message memories that AT+CPMS, +CMGL, +CMGR and +CMGD work on.
    Inbox& inbox() { return inbox_; }
    std::size_t inboxSize() const { return inbox_.size(); }
    // The subscriber identity: the network's MCC and MNC, then digits to 15.
    std::string imsi() const;

private:
    std::optional<std::string> messageService(const std::string& command);
    std::optional<std::string> network(const std::string& command);
    std::optional<std::string> registration(const std::string& command, const std::string& name, int& mode);
    std::optional<std::string> subscriber(const std::string& command);

    std::string network_;
    std::string ownNumber_;
    Inbox inbox_;
    int registrationMode_ = 0;      // AT+CREG=<n>
    int gprsRegistrationMode_ = 0;  // AT+CGREG=<n>
    bool callerId_ = false;         // AT+CLIP=<n>
    int errorMode_ = 0;             // AT+CMEE: 0 plain ERROR, 1 numeric, 2 verbose
    std::string charset_ = "GSM";
    int operatorFormat_ = 0;  // AT+COPS=3,<format>
    std::string newMessageIndications_ = "0,0,0,0,0";
    std::string flowControl_ = "2,2";  // AT+IFC: kept and reported, a pseudo-terminal needs none
};

}  // namespace pelorin::phone
