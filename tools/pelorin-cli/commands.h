#pragma once

#include <string>
#include <vector>

namespace pelorin::cli {

// Each subcommand takes the arguments after its name and returns the exit
// status: 0 success, 1 a failure of the work itself, 2 bad arguments, or
// kShowUsage when -h or --help stood in the place of an option.
int runEncode(const std::vector<std::string>& args);
int runSend(const std::vector<std::string>& args);
int runShow(const std::vector<std::string>& args);
int runConvert(const std::vector<std::string>& args);
int runNetwork(const std::vector<std::string>& args);
int runText(const std::vector<std::string>& args);
int runReceive(const std::vector<std::string>& args);
int runPorts(const std::vector<std::string>& args);

constexpr int kExitBadArguments = 2;
constexpr int kShowUsage = -1;

// Whether an argument in the place of an option asks for help.
inline bool isHelpOption(const std::string& arg) { return arg == "-h" || arg == "--help"; }

}  // namespace pelorin::cli
