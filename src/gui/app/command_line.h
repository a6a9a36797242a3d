#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// What the command line asks of the editor.
struct StartupRequest {
    enum class Action { Run, ShowHelp, ShowVersion, Error };
    Action action = Action::Run;
    std::optional<std::string> file;  // a file to open at start-up
    // --simulated-phone: the folder the phone stores what it receives in,
    // empty for a new temporary one.
    std::optional<std::string> simulatedPhone;
    std::string error;  // for Error: one line, without the program name
};

// Reads the arguments after the program name. --help and --version win over
// everything else; an unknown option or a second file is an error. "--" ends
// the options, so a file may begin with "-".
StartupRequest parseCommandLine(const std::vector<std::string>& args);

std::string helpText();
std::string versionText();

}  // namespace pelorin
