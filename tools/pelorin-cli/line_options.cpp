#include "line_options.h"

#include <cstdlib>
#include <fstream>

#include "sms/sim_replies.h"

namespace pelorin::cli {

bool readPin(const std::optional<std::string>& pinFile, std::optional<std::string>& pin, std::string& why) {
    std::string text;
    if (pinFile) {
        std::ifstream in(*pinFile);
        if (!in || !std::getline(in, text)) {
            why = "--pin-file: cannot read " + *pinFile;
            return false;
        }
        while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) text.pop_back();
        if (!IsValidPin(text)) {
            wipeSecret(text);
            why = "--pin-file: the first line of " + *pinFile + " is not a PIN of 4 to 8 digits";
            return false;
        }
    } else if (const char* environment = std::getenv("PELORIN_PIN"); environment != nullptr) {
        text = environment;
        if (!IsValidPin(text)) {
            wipeSecret(text);
            why = "PELORIN_PIN is not a PIN of 4 to 8 digits";
            return false;
        }
    } else {
        return true;
    }
    pin = std::move(text);
    return true;
}

bool openLog(const std::optional<std::string>& path, SerialPortOpener& inner, std::unique_ptr<LineLog>& log,
             std::unique_ptr<SerialPortOpener>& logging, std::string& why) {
    if (!path) return true;
    log = LineLog::create(*path, why);
    if (!log) {
        why = "--log: " + why;
        return false;
    }
    logging = std::make_unique<LoggingSerialPortOpener>(inner, *log);
    return true;
}

}  // namespace pelorin::cli
