#include "picture_arguments.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <iostream>

#include "cli_document.h"
#include "commands.h"
#include "document/import_file.h"
#include "document/packed.h"
#include "document/posix_file_system.h"
#include "formats/bitmap_writer.h"
#include "formats/phone_logo.h"
#include "imageio/picture_io.h"

namespace pelorin::cli {
namespace {

std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<LogoKind> kindFromName(const std::string& name) {
    if (name == "operator") return LogoKind::Operator;
    if (name == "picture") return LogoKind::Picture;
    if (name == "large-operator") return LogoKind::LargeOperator;
    return std::nullopt;
}

}  // namespace

std::optional<PictureArguments> parsePictureArguments(const std::vector<std::string>& args, bool allowFont,
                                                      std::string& error) {
    PictureArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--invert" && !allowFont) {
            parsed.picture.tone.invert = true;
            parsed.pictureOptionGiven = true;
            continue;
        }
        const bool takesValue = arg == "--kind" || arg == "--scale" || arg == "--depth" ||
                                (allowFont && arg == "--font") ||
                                (!allowFont && (arg == "--fit" || arg == "--threshold" || arg == "--dither"));
        if (!takesValue) {
            error = "unknown option " + arg;
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (arg == "--kind") {
            parsed.kind = kindFromName(value);
            if (!parsed.kind) {
                error = "--kind must be operator, picture or large-operator, not " + value;
                return std::nullopt;
            }
            parsed.pictureOptionGiven = true;
        } else if (arg == "--scale") {
            parsed.scale = wholeNumber(value);
            if (!parsed.scale || *parsed.scale < 1 || *parsed.scale > 16) {
                error = "--scale must be a whole number from 1 to 16, not " + value;
                return std::nullopt;
            }
        } else if (arg == "--depth") {
            if (value != "1" && value != "8") {
                error = "--depth must be 1 or 8, not " + value;
                return std::nullopt;
            }
            parsed.oneBit = value == "1";
        } else if (arg == "--font") {
            parsed.font = findPixelFont(value);
            if (!parsed.font) {
                error = "--font must be 3x5, 5x7 or bold-7, not " + value;
                return std::nullopt;
            }
        } else if (arg == "--fit") {
            if (value == "contain")
                parsed.picture.fit = FitMode::Contain;
            else if (value == "cover")
                parsed.picture.fit = FitMode::Cover;
            else if (value == "stretch")
                parsed.picture.fit = FitMode::Stretch;
            else {
                error = "--fit must be contain, cover or stretch, not " + value;
                return std::nullopt;
            }
            parsed.pictureOptionGiven = true;
        } else if (arg == "--threshold") {
            if (value == "auto") {
                parsed.picture.tone.threshold.reset();
            } else {
                parsed.picture.tone.threshold = wholeNumber(value);
                if (!parsed.picture.tone.threshold || *parsed.picture.tone.threshold < 0 ||
                    *parsed.picture.tone.threshold > 255) {
                    error = "--threshold must be auto or a whole number from 0 to 255, not " + value;
                    return std::nullopt;
                }
            }
            parsed.pictureOptionGiven = true;
        } else {
            if (value == "none")
                parsed.picture.tone.dither = Dither::None;
            else if (value == "floyd-steinberg")
                parsed.picture.tone.dither = Dither::FloydSteinberg;
            else if (value == "atkinson")
                parsed.picture.tone.dither = Dither::Atkinson;
            else if (value == "ordered")
                parsed.picture.tone.dither = Dither::Ordered;
            else {
                error = "--dither must be none, floyd-steinberg, atkinson or ordered, not " + value;
                return std::nullopt;
            }
            parsed.pictureOptionGiven = true;
        }
    }
    return parsed;
}

bool outputNameAccepted(const std::string& command, const std::string& out, const PictureArguments& options) {
    const std::string type = importExtension(out).value_or("");
    const bool pictureType = type == "png" || type == "bmp";
    if (!pictureType && type != "plr" && !phoneLogoFormatForExtension(type)) {
        std::cerr << "pelorin-cli " << command << ": cannot write " << out
                  << ": the name must end in .plr, .bmp, .png, .nlm, .ngg or .nol\n";
        return false;
    }
    if (options.scale && !pictureType) {
        std::cerr << "pelorin-cli " << command << ": --scale applies to .png and .bmp only\n";
        return false;
    }
    if (options.oneBit && type != "bmp") {
        std::cerr << "pelorin-cli " << command << ": --depth applies to .bmp only\n";
        return false;
    }
    return true;
}

int writeCanvasFile(const std::string& command, const Canvas& canvas, const std::string& out,
                    const PictureArguments& options) {
    const std::string type = importExtension(out).value_or("");
    const std::optional<int> scale = options.scale;
    std::vector<std::uint8_t> bytes;
    if (type == "plr") {
        bytes = packCanvas(canvas);
    } else if (type == "bmp" && options.oneBit) {
        bytes = imageio::encodeMonochromeBitmap(canvas, scale.value_or(1));
    } else if (type == "bmp" && !scale) {
        bytes = encodeBitmap(canvas);
    } else if (type == "png" || type == "bmp") {
        auto encoded = imageio::encodePicture(canvas, type, scale.value_or(1), imageio::Look::Plain);
        if (!encoded) {
            std::cerr << "pelorin-cli " << command << ": cannot encode the logo as " << type << "\n";
            return 1;
        }
        bytes = std::move(*encoded);
    } else {
        if (canvas.size().width != 72 || canvas.size().height != 14) {
            std::cerr << "pelorin-cli " << command << ": the logo is " << canvas.width() << " x " << canvas.height()
                      << "; ." << type << " files hold only 72 x 14 operator logos\n";
            return 1;
        }
        bytes = encodePhoneLogo(*phoneLogoFormatForExtension(type), canvas);
    }
    PosixFileSystem files;
    const SaveResult saved = saveFile(files, out, bytes);
    if (saved.status != SaveStatus::Saved) {
        std::cerr << "pelorin-cli " << command << ": " << describeSaveFailure(saved, out) << "\n";
        return 1;
    }
    return 0;
}

QuietStandardError::QuietStandardError() {
    std::cerr.flush();
    saved_ = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, STDERR_FILENO);
        close(null);
    }
}

QuietStandardError::~QuietStandardError() {
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
}

}  // namespace pelorin::cli
