#include <iostream>

#include "cli_document.h"
#include "commands.h"
#include "document/import_file.h"
#include "document/packed.h"
#include "formats/bitmap_writer.h"
#include "formats/phone_logo.h"

namespace pelorin::cli {

// Imports IN like the editor's Open and writes the logo to OUT in the format
// its extension names: plr (our document), bmp (8-bit bitmap), or the 72 x 14
// phone-logo files nlm, ngg and nol.
int runConvert(const std::vector<std::string>& args) {
    for (const auto& arg : args)
        if (isHelpOption(arg)) return kShowUsage;
    if (args.size() != 2) {
        std::cerr << "pelorin-cli convert: takes IN and OUT\n";
        return kExitBadArguments;
    }
    const std::string& in = args[0];
    const std::string& out = args[1];
    const std::string outType = importExtension(out).value_or("");
    const auto phoneFormat = phoneLogoFormatForExtension(outType);
    if (outType != "plr" && outType != "bmp" && !phoneFormat) {
        std::cerr << "pelorin-cli convert: cannot write " << out
                  << ": the name must end in .plr, .bmp, .nlm, .ngg or .nol\n";
        return kExitBadArguments;
    }

    CliDocument cli;
    std::string error;
    if (!importForCli(cli, in, error)) {
        std::cerr << "pelorin-cli convert: " << error << "\n";
        return 1;
    }
    const Canvas& canvas = cli.document->canvas(cli.view.currentKind());
    std::vector<std::uint8_t> bytes;
    if (outType == "plr") {
        bytes = packCanvas(canvas);
    } else if (outType == "bmp") {
        bytes = encodeBitmap(canvas);
    } else {
        if (cli.view.currentKind() != LogoKind::Operator) {
            std::cerr << "pelorin-cli convert: " << in << " holds a " << canvas.width() << " x " << canvas.height()
                      << " logo; ." << outType << " files hold only 72 x 14 operator logos\n";
            return 1;
        }
        bytes = encodePhoneLogo(*phoneFormat, canvas);
    }
    const SaveResult saved = saveFile(cli.files, out, bytes);
    if (saved.status != SaveStatus::Saved) {
        std::cerr << "pelorin-cli convert: " << describeSaveFailure(saved, out) << "\n";
        return 1;
    }
    return 0;
}

}  // namespace pelorin::cli
