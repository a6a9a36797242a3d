#include <iostream>

#include "commands.h"
#include "platform/port_probe.h"
#include "platform/serial_devices.h"
#include "platform/serial_port.h"
#include "settings/port_list.h"

namespace pelorin::cli {

namespace {

// The Settings dialog's items as the paths to probe and the names to print:
// "COM1 (/dev/ttyS0)" for a COM item, a device path as it is.
struct Candidate {
    std::string name;
    std::string path;
};

std::vector<Candidate> settingsCandidates() {
    std::vector<Candidate> candidates;
    for (const std::string& item : settingsPortItems(listSerialDevices())) {
        if (item.starts_with("/")) {
            candidates.push_back({item, item});
        } else {
            const std::string path = devicePathForPortName(item + ":");
            candidates.push_back({item + " (" + path + ")", path});
        }
    }
    return candidates;
}

}  // namespace

// Probes every serial port (or the paths given) at once and prints one line
// for each: its name, what it did, and the maker and model it named.
int runPorts(const std::vector<std::string>& args) {
    std::vector<Candidate> candidates;
    for (const std::string& arg : args) {
        if (isHelpOption(arg)) return kShowUsage;
        if (arg.starts_with("-")) {
            std::cerr << "pelorin-cli ports: unexpected argument " << arg << "\n";
            return kExitBadArguments;
        }
        candidates.push_back({arg, devicePathForPortName(arg).empty() ? arg : devicePathForPortName(arg)});
    }
    if (args.empty()) candidates = settingsCandidates();
    std::vector<std::string> paths;
    for (const auto& candidate : candidates) paths.push_back(candidate.path);
    auto opener = makePosixSerialPortOpener();
    const std::vector<PortProbe> probes = probePorts(paths, *opener);
    bool anyAnswers = false;
    for (std::size_t i = 0; i < probes.size(); ++i) {
        std::cout << candidates[i].name << "\t" << describeProbeState(probes[i]);
        if (!probes[i].identity.empty()) std::cout << "\t" << probes[i].identity;
        std::cout << "\n";
        anyAnswers = anyAnswers || probes[i].state == PortProbe::State::Answers;
    }
    return anyAnswers ? 0 : 1;
}

}  // namespace pelorin::cli
