#include "app/command_line.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "app/command_table.h"

namespace pelorin {

namespace {

bool takesStoreFolder(const std::string& next) {
    if (next.empty() || next[0] == '-') return false;
    std::error_code error;
    return !std::filesystem::is_regular_file(next, error);
}

}  // namespace

StartupRequest parseCommandLine(const std::vector<std::string>& args) {
    StartupRequest request;
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    const auto fail = [&](std::string text) {
        if (request.error.empty()) request.error = std::move(text);
    };
    constexpr std::string_view kSimulatedPhone = "--simulated-phone";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == kSimulatedPhone) {
            request.simulatedPhone = std::string();
            // The folder may follow; an option or an existing file does not name one.
            if (i + 1 < args.size() && takesStoreFolder(args[i + 1])) request.simulatedPhone = args[++i];
        } else if (!optionsEnded && arg.rfind(std::string(kSimulatedPhone) + "=", 0) == 0) {
            request.simulatedPhone = arg.substr(kSimulatedPhone.size() + 1);
        } else if (!optionsEnded && arg == "--") {
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
           "(.bmp) of 72x14, 72x28 or 78x21 pixels, a phone logo (.ngg, .nol, .nlm), or\n"
           "a picture of any size (PNG, JPEG, GIF, BMP, SVG, WebP and the other formats\n"
           "Qt reads, told by their content), which is brought in through the import\n"
           "dialog.\n"
           "\n"
           "Options:\n"
           "  --simulated-phone[=DIR]\n"
           "                   send to a simulated phone started for this run (the\n"
           "                   stored COM port is left as it is); it keeps what it\n"
           "                   receives in DIR, or in a new temporary folder named at\n"
           "                   start. DIR may also follow as the next argument, unless\n"
           "                   that is an option or an existing file. The phone files\n"
           "                   what it is sent in its own inbox (File > Import from\n"
           "                   phone reads it back).\n"
           "  -h, --help       show this help and exit\n"
           "  -v, --version    show the version and exit\n"
           "\n"
           "Qt's own options, such as -platform or -style, are understood as well.\n";
}

std::string versionText() { return "pelorin " + std::string(command::kVersionText) + "\n"; }

}  // namespace pelorin
