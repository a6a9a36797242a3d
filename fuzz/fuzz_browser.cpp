// Lists a folder holding the same arbitrary bytes under every extension the
// open-file dialog knows, and reads each file's thumbnail: neither may read
// outside the bytes, and every offered bitmap or document file must give a
// thumbnail of a logo size.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "browser/folder_listing.h"
#include "browser/thumbnail.h"
#include "fuzz_document.h"

namespace {

bool isLogoSize(const pelorin::Thumbnail& t) {
    for (auto kind : {pelorin::LogoKind::Operator, pelorin::LogoKind::Picture, pelorin::LogoKind::LargeOperator})
        if (pelorin::sizeOf(kind).width == t.width && pelorin::sizeOf(kind).height == t.height) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pelorin::MemoryFileSystem files;
    pelorin::fuzz::SilentMessages messages;
    for (const char* name : {"/d/x.bmp", "/d/x.plr", "/d/x.ngg", "/d/x.nol", "/d/x.nlm", "/d/x.dat"})
        files.files[name].assign(data, data + size);

    const auto listing = pelorin::listFolderFiles(files, messages, "/d", pelorin::FileFilter::AllSupported);
    // With pictures the editor's listing offers at least the same logo files.
    const auto withPictures = pelorin::listFolderFiles(files, messages, "/d", pelorin::FileFilter::AllSupported, true);
    for (const auto& path : listing.files)
        if (std::find(withPictures.files.begin(), withPictures.files.end(), path) == withPictures.files.end())
            __builtin_trap();
    for (const auto& [path, bytes] : files.files) {
        const auto thumbnail = pelorin::readThumbnail(files, path);
        if (thumbnail && thumbnail->rgb.size() != static_cast<std::size_t>(thumbnail->width * thumbnail->height * 3))
            __builtin_trap();
    }
    for (const auto& path : listing.files) {
        if (path != "/d/x.bmp" && path != "/d/x.plr") continue;
        const auto thumbnail = pelorin::readThumbnail(files, path);
        if (!thumbnail || !isLogoSize(*thumbnail)) __builtin_trap();
    }
    return 0;
}
