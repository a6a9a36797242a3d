#pragma once

#include <optional>
#include <string>
#include <vector>

#include "document/canvas.h"
#include "imaging/picture_to_logo.h"
#include "imaging/pixel_font.h"

namespace pelorin::cli {

// The options of "convert" and "text" besides their positional arguments.
struct PictureArguments {
    std::vector<std::string> positional;
    std::optional<LogoKind> kind;     // --kind operator|picture|large-operator
    PictureOptions picture;           // --fit, --threshold, --dither, --invert
    bool pictureOptionGiven = false;  // any of the four above or --kind
    std::optional<int> scale;         // --scale 1..16
    bool oneBit = false;              // --depth 1: a bitmap of 1 bit a pixel
    const PixelFont* font = nullptr;  // --font, only where allowed
};

// Parses the options; with allowFont --font is taken, otherwise the picture
// options are. On a problem returns nothing and sets error to one line.
std::optional<PictureArguments> parsePictureArguments(const std::vector<std::string>& args, bool allowFont,
                                                      std::string& error);

// Writes the canvas to out in the format its extension names: .plr, .bmp
// (the 8-bit logo bitmap, or a picture at --scale; with --depth 1 a bitmap of
// 1 bit a pixel at the scale), .png, or .nlm/.ngg/.nol for 72 x 14 logos.
// Returns the exit status; prints one line on failure.
int writeCanvasFile(const std::string& command, const Canvas& canvas, const std::string& out,
                    const PictureArguments& options);

// The check writeCanvasFile would make of the name, before any work is done.
bool outputNameAccepted(const std::string& command, const std::string& out, const PictureArguments& options);

// Keeps the picture decoders' own chatter (libpng writes to the terminal
// itself) off standard error while it lives, so a failure stays one line.
class QuietStandardError {
public:
    QuietStandardError();
    ~QuietStandardError();
    // Standard error as it was, for a last word while it is silenced.
    int savedDescriptor() const { return saved_; }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_ = -1;
};

}  // namespace pelorin::cli
