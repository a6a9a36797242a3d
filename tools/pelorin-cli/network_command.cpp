#include <iostream>

#include "commands.h"
#include "data/network_names.h"
#include "data/table_bytes.h"
#include "interrupt.h"
#include "line_options.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/network_query.h"

namespace pelorin::cli {

// Asks the phone on --port for its network and prints its codes and names.
int runNetwork(const std::vector<std::string>& args) {
    std::optional<std::string> port;
    std::optional<std::string> logPath;
    bool fast = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (isHelpOption(args[i])) return kShowUsage;
        if (args[i] == "--port" && i + 1 < args.size()) {
            port = args[++i];
        } else if (args[i] == "--log" && i + 1 < args.size()) {
            logPath = args[++i];
        } else if (args[i] == "--fast") {
            fast = true;
        } else {
            std::cerr << "pelorin-cli network: "
                      << (args[i] == "--port" || args[i] == "--log" ? args[i] + " needs a value"
                                                                    : "unexpected argument " + args[i])
                      << "\n";
            return kExitBadArguments;
        }
    }
    if (!port) {
        std::cerr << "pelorin-cli network: missing --port NAME\n";
        return kExitBadArguments;
    }
    auto opener = makePosixSerialPortOpener();
    std::unique_ptr<LineLog> log;
    std::unique_ptr<SerialPortOpener> logging;
    std::string why;
    if (!openLog(logPath, *opener, log, logging, why)) {
        std::cerr << "pelorin-cli network: " << why << "\n";
        return 1;
    }
    RealSleeper sleeper;
    DialogueOptions options;
    options.replyDriven = fast;
    options.cancel = &interruptToken();
    const NetworkQueryResult result = QueryNetwork(*port, logging ? *logging : *opener, sleeper, options);
    if (result.status == NetworkQueryResult::Status::Cancelled) return 1;  // main exits with the signal's status
    if (result.status != NetworkQueryResult::Status::Found) {
        std::cerr << "pelorin-cli network: " << result.detail << "\n";
        return 1;
    }
    const NetworkNames names = lookUpNetwork(countryTableBytes(), operatorTableBytes(), result.mcc, result.mnc);
    std::cout << result.mcc << "-" << result.mnc << " " << names.country.value_or("unknown") << " "
              << names.operatorName.value_or("unknown") << "\n";
    return 0;
}

}  // namespace pelorin::cli
