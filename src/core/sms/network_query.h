#pragma once

// Asks the phone which network it is on: AT+COPS=3,2 (operators as numeric
// codes), then AT+COPS?.

#include <string>

#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/at_channel.h"

namespace pelorin {

struct NetworkQueryResult {
    enum class Status {
        Found,          // mcc and mnc hold the codes
        CannotOpen,     // the port did not open
        NoAnswer,       // the phone did not answer AT+COPS? at all, or the line failed
        NotRegistered,  // the phone answered but named no network
        Refused,        // the phone answered AT+COPS? with an error
        Cancelled,      // options.cancel stopped the query; the port has been given back
    };
    Status status = Status::NoAnswer;
    std::string mcc;     // three digits
    std::string mnc;     // two or three digits
    std::string detail;  // one line for the user when not Found
};

NetworkQueryResult QueryNetwork(const std::string& portName, SerialPortOpener& opener, Sleeper& sleeper,
                                const DialogueOptions& options);

}  // namespace pelorin
