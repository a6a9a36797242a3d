#include <unistd.h>

#include <QGuiApplication>
#include <iostream>
#include <memory>
#include <new>

#include "cli_document.h"
#include "commands.h"
#include "document/import_file.h"
#include "document/posix_file_system.h"
#include "imageio/picture_io.h"
#include "imaging/fit.h"
#include "picture_arguments.h"
#include "ringtone_commands.h"

namespace pelorin::cli {
namespace {

// Where a fatal message from Qt is reported while standard error is silenced.
int fatalReportDescriptor = -1;
std::string fatalReportStart;

// Qt ends the program after a fatal message (abort, with no word on the
// silenced standard error); it ends here instead, with one line and status 1.
// The other messages stay quiet while a picture is read.
void reportFatalAndExit(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtFatalMsg) return;
    std::string line = fatalReportStart + "the picture cannot be read (";
    for (const char c : text.toStdString()) line += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
    line += ")\n";
    if (fatalReportDescriptor >= 0) (void)!write(fatalReportDescriptor, line.data(), line.size());
    _exit(1);
}

// Reads a picture with what Qt's readers need: a QGuiApplication on the
// offscreen platform (an SVG's text is drawn with Qt's fonts, which need one;
// no display is used) and standard error kept quiet.
imageio::PictureRead readPictureFile(FileSystem& files, const std::string& path) {
    static int argc = 3;
    static char program[] = "pelorin-cli";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {program, platformOption, platform, nullptr};
    QuietStandardError quiet;
    fatalReportDescriptor = quiet.savedDescriptor();
    fatalReportStart = "pelorin-cli convert: " + path + ": ";
    const QtMessageHandler previous = qInstallMessageHandler(&reportFatalAndExit);
    std::unique_ptr<QGuiApplication> application;
    if (QGuiApplication::instance() == nullptr) application = std::make_unique<QGuiApplication>(argc, argv);
    imageio::PictureRead read;
    try {
        read = imageio::readPicture(files, path);
    } catch (const std::bad_alloc&) {
        // Under a memory limit: one line, as for any other failure.
        read = {std::nullopt, path + ": there is not enough memory to read the picture"};
    }
    application.reset();
    qInstallMessageHandler(previous);
    return read;
}

}  // namespace

// Imports IN and writes the logo to OUT in the format its extension names.
// A logo file (.plr, .nlm, .ngg, .nol, a bitmap of a canvas size) is imported
// like the editor's Open; any other picture is fitted and turned to one bit
// by the picture options.
int runConvert(const std::vector<std::string>& args) {
    for (const auto& arg : args)
        if (isHelpOption(arg)) return kShowUsage;
    std::string error;
    const auto parsed = parsePictureArguments(args, false, error);
    if (!parsed) {
        std::cerr << "pelorin-cli convert: " << error << "\n";
        return kExitBadArguments;
    }
    if (parsed->positional.size() != 2) {
        std::cerr << "pelorin-cli convert: takes IN and OUT\n";
        return kExitBadArguments;
    }
    const std::string& in = parsed->positional[0];
    const std::string& out = parsed->positional[1];
    {
        PosixFileSystem files;
        if (isRingtoneFile(files, in)) {
            if (parsed->pictureOptionGiven || parsed->scale || parsed->oneBit) {
                std::cerr << "pelorin-cli convert: " << in << " is a ringtone; the picture options do not apply\n";
                return kExitBadArguments;
            }
            return runConvertRingtone(in, out);
        }
    }
    if (!outputNameAccepted("convert", out, *parsed)) return kExitBadArguments;

    PosixFileSystem files;
    const bool picture =
        imageio::opensAsPicture(files, in) || (parsed->pictureOptionGiven && importExtension(in).value_or("") == "bmp");
    if (!picture) {
        if (parsed->pictureOptionGiven) {
            std::cerr << "pelorin-cli convert: " << in
                      << " is a logo file; --kind, --fit, --threshold, --dither and --invert apply to pictures\n";
            return kExitBadArguments;
        }
        const auto logo = readLogoForCli(files, in, error);
        if (!logo) {
            std::cerr << "pelorin-cli convert: " << error << "\n";
            return 1;
        }
        return writeCanvasFile("convert", logo->canvas, out, *parsed);
    }

    const imageio::PictureRead read = readPictureFile(files, in);
    if (!read.picture) {
        std::cerr << "pelorin-cli convert: " << read.error << "\n";
        return 1;
    }
    const LogoKind kind = parsed->kind.value_or(nearestKind(read.picture->width, read.picture->height));
    return writeCanvasFile("convert", pictureToCanvas(*read.picture, sizeOf(kind), parsed->picture), out, *parsed);
}

}  // namespace pelorin::cli
