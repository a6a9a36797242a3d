// Feeds arbitrary bytes to the picture reader (Qt's image readers behind our
// checks) and turns whatever comes out into a logo, through every dithering.

#include <QGuiApplication>
#include <cstddef>
#include <cstdint>

#include "imageio/picture_io.h"
#include "imaging/fit.h"
#include "imaging/picture_to_logo.h"

// Qt draws an SVG's text with its fonts, which need a QGuiApplication, as
// pelorin-cli and the editor have one: on the offscreen platform, no display.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static int argc = 3;
    static char program[] = "fuzz_picture_reader";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {program, platformOption, platform, nullptr};
    static QGuiApplication application(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A smaller limit than the program's keeps each run quick; the checks are the same.
    const auto read = pelorin::imageio::readPictureData({data, size}, "fuzz", 4'000'000);
    if (!read.picture) {
        if (read.error.empty()) __builtin_trap();
        return 0;
    }
    const pelorin::GreyImage& picture = *read.picture;
    if (picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
        __builtin_trap();
    const pelorin::LogoKind kind = pelorin::nearestKind(picture.width, picture.height);
    for (auto dither : {pelorin::Dither::None, pelorin::Dither::FloydSteinberg, pelorin::Dither::Atkinson,
                        pelorin::Dither::Ordered}) {
        pelorin::PictureOptions options;
        options.fit = static_cast<pelorin::FitMode>(size % 3);
        options.tone.dither = dither;
        const pelorin::Canvas canvas = pelorin::pictureToCanvas(picture, pelorin::sizeOf(kind), options);
        if (canvas.size().width != pelorin::sizeOf(kind).width) __builtin_trap();
    }
    return 0;
}
