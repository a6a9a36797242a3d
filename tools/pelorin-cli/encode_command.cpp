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
    for (const MessagePart& part : BuildSendParts(parsed->job)) {
        std::cout << "AT+CMGS=" << part.length << "\n" << part.pdu << "\n";
    }
    return 0;
}

}  // namespace pelorin::cli
