#pragma once

// Pieces of the phone's answers and of the commands it reads, shared by the
// command sets.

#include <optional>
#include <string>

namespace pelorin::phone::at {

inline const std::string kOk = "\r\nOK\r\n";

// One information line and the final OK.
inline std::string info(const std::string& line) { return "\r\n" + line + "\r\n" + kOk; }

// The value after "=" in a command of the form NAME=VALUE, when it is one.
inline std::optional<std::string> valueOf(const std::string& command, const std::string& name) {
    if (command.rfind(name + "=", 0) != 0) return std::nullopt;
    return command.substr(name.size() + 1);
}

inline std::string unquoted(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

}  // namespace pelorin::phone::at
