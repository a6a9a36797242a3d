#include "app/command_line.h"

#include "app/command_table.h"

namespace pelorin {

StartupRequest parseCommandLine(const std::vector<std::string>& args) {
    StartupRequest request;
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    const auto fail = [&](std::string text) {
        if (request.error.empty()) request.error = std::move(text);
    };
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "-h" || arg == "--help")) {
            help = true;
        } else if (!optionsEnded && (arg == "-v" || arg == "--version")) {
            version = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            fail("unknown option '" + arg + "' (see pelorin --help)");
        } else if (request.file) {
            fail("only one file can be opened, not also '" + arg + "'");
        } else {
            request.file = arg;
        }
    }
    if (help)
        request.action = StartupRequest::Action::ShowHelp;
    else if (version)
        request.action = StartupRequest::Action::ShowVersion;
    else if (!request.error.empty())
        request.action = StartupRequest::Action::Error;
    return request;
}

std::string helpText() {
    return "Usage: pelorin [OPTION]... [FILE]\n"
           "Draw monochrome phone logos and send them to a GSM phone as short messages.\n"
           "\n"
           "FILE is opened at start: a Pelorin document (.plr), an 8-bit Windows bitmap\n"
           "(.bmp) of 72x14, 72x28 or 78x21 pixels, or a phone logo (.ngg, .nol, .nlm).\n"
           "\n"
           "Options:\n"
           "  -h, --help       show this help and exit\n"
           "  -v, --version    show the version and exit\n"
           "\n"
           "Qt's own options, such as -platform or -style, are understood as well.\n";
}

std::string versionText() { return "pelorin " + std::string(command::kVersionText) + "\n"; }

}  // namespace pelorin
