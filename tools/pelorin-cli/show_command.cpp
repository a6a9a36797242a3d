#include <iostream>

#include "cli_document.h"
#include "commands.h"
#include "document/posix_file_system.h"
#include "imaging/cell_text.h"
#include "ringtone_commands.h"

namespace pelorin::cli {

// Prints the kind and size of an imported file ("operator 72x14"), then the
// logo with one line a row, top row first: '#' a set pixel, '.' a clear one.
int runShow(const std::vector<std::string>& args) {
    for (const auto& arg : args)
        if (isHelpOption(arg)) return kShowUsage;
    if (args.size() != 1) {
        std::cerr << "pelorin-cli show: takes one FILE\n";
        return kExitBadArguments;
    }
    PosixFileSystem files;
    if (isRingtoneFile(files, args[0])) return runShowRingtone(args[0]);
    std::string error;
    const auto logo = readLogoForCli(files, args[0], error);
    if (!logo) {
        std::cerr << "pelorin-cli show: " << error << "\n";
        return 1;
    }
    std::cout << logoKindName(logo->kind) << " " << logo->canvas.width() << "x" << logo->canvas.height() << "\n";
    std::cout << cellText(logo->canvas);
    return 0;
}

}  // namespace pelorin::cli
