#include <iostream>

#include "commands.h"
#include "imaging/pixel_font.h"
#include "picture_arguments.h"
#include "util/text.h"

namespace pelorin::cli {

// Writes TEXT centred on a blank canvas in one of the pixel fonts.
int runText(const std::vector<std::string>& args) {
    for (const auto& arg : args)
        if (isHelpOption(arg)) return kShowUsage;
    std::string error;
    const auto parsed = parsePictureArguments(args, true, error);
    if (!parsed) {
        std::cerr << "pelorin-cli text: " << error << "\n";
        return kExitBadArguments;
    }
    if (parsed->positional.size() != 2) {
        std::cerr << "pelorin-cli text: takes TEXT and OUT\n";
        return kExitBadArguments;
    }
    const std::string& out = parsed->positional[1];
    if (!outputNameAccepted("text", out, *parsed)) return kExitBadArguments;
    const PixelFont& font = parsed->font ? *parsed->font : defaultPixelFont();
    const Canvas canvas =
        textOnCanvas(sizeOf(parsed->kind.value_or(LogoKind::Operator)), font, decodeUtf8(parsed->positional[0]));
    return writeCanvasFile("text", canvas, out, *parsed);
}

}  // namespace pelorin::cli
