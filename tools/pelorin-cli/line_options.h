#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/serial_port.h"
#include "sms/line_log.h"

namespace pelorin::cli {

// The SIM's PIN: from pinFile when given (its first line), otherwise from
// PELORIN_PIN; nothing when neither is set. false, with why set, when the one
// given is not 4 to 8 digits (the text itself is never repeated).
bool readPin(const std::optional<std::string>& pinFile, std::optional<std::string>& pin, std::string& why);

// With a path: the log made there and an opener that logs through it;
// without one, both stay empty. false, with why set, when the log cannot be
// made.
bool openLog(const std::optional<std::string>& path, SerialPortOpener& inner, std::unique_ptr<LineLog>& log,
             std::unique_ptr<SerialPortOpener>& logging, std::string& why);

}  // namespace pelorin::cli
