// Feeds arbitrary bytes to the bitmap reader and the bitmap import, through
// files held in memory.

#include <cstddef>
#include <cstdint>

#include "document/import_file.h"
#include "formats/bitmap_reader.h"
#include "fuzz_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pelorin::fuzz::FuzzDocument d;
    d.files.files["in.bmp"].assign(data, data + size);

    pelorin::BitmapReader reader;
    if (reader.load(d.files, d.messages, "in.bmp")) {
        // Whatever the header says, the rows it announces must be there.
        if (reader.bitsSize() < static_cast<std::size_t>(reader.rows()) * reader.stride()) __builtin_trap();
        const pelorin::BitmapImage image = reader.image();
        if (image.rgb.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3)
            __builtin_trap();
    }

    const pelorin::ImportResult read = pelorin::readLogoFile(d.files, "in.bmp");
    // A canvas read is always one of the kind's size.
    if (read.canvas && (read.canvas->width() != pelorin::sizeOf(read.kind).width ||
                        read.canvas->height() != pelorin::sizeOf(read.kind).height))
        __builtin_trap();
    read.applyTo(d.document);
    return 0;
}
