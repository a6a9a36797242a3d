#include <iostream>

#include "commands.h"
#include "job_arguments.h"

namespace pelorin::cli {

// Prints, for each message in sending order, the AT+CMGS command (without
// its line end) and the PDU text (without the Ctrl-Z).
int runEncode(const std::vector<std::string>& args) {
    std::string error;
    auto parsed = parseJobArguments(args, false, error);
    if (!parsed) {
        std::cerr << "pelorin-cli encode: " << error << "\n";
        return kExitBadArguments;
    }
    if (parsed->help) return kShowUsage;
    // The PDU would carry the characters as they are (or no digits, or more
    // than its address holds); send refuses such a number, and so does this.
    if (parsed->numberRefused) {
        std::cerr << "pelorin-cli encode: --to takes 1 to 20 digits 0-9, * and #, with an optional + in front\n";
        return kExitBadArguments;
    }
    if (!announceJob(*parsed, "pelorin-cli encode: ")) return 1;
    for (const MessagePart& part : BuildSendParts(parsed->job)) {
        std::cout << "AT+CMGS=" << part.length << "\n" << part.pdu << "\n";
    }
    return 0;
}

}  // namespace pelorin::cli
