#include "browser/thumbnail.h"

#include "document/canvas.h"
#include "document/document_file.h"
#include "document/import_file.h"
#include "document/packed.h"
#include "editor/geometry.h"
#include "formats/mono_files.h"
#include "formats/phone_logo.h"

namespace pelorin {

namespace {

class NoMessages : public UserMessages {
public:
    void showMessage(const std::string&) override {}
};

Thumbnail thumbnailOf(const Canvas& canvas) {
    Thumbnail image;
    image.width = canvas.width();
    image.height = canvas.height();
    image.rgb.reserve(static_cast<std::size_t>(image.width * image.height) * 3);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgb c = canvas.isSet(x, y) ? colour::kBlack : colour::kPreviewGrey;
            image.rgb.insert(image.rgb.end(), {c.red, c.green, c.blue});
        }
    }
    return image;
}

std::optional<Thumbnail> bitmapThumbnail(FileSystem& files, const std::string& path) {
    NoMessages silent;
    BitmapReader reader;
    if (!reader.load(files, silent, path)) return std::nullopt;
    return reader.image();
}

std::optional<Thumbnail> phoneLogoThumbnail(FileSystem& files, const std::string& path, PhoneLogoFormat format) {
    const auto bytes = readFilePrefix(files, path, phoneLogoFileSize(format));
    if (!bytes) return std::nullopt;
    // The character formats are drawn only when header and all pixels are
    // there; nlm needs its header, and pixels it lacks show clear.
    const std::size_t needed = format == PhoneLogoFormat::Nlm ? phoneLogoHeaderSize(format) : phoneLogoFileSize(format);
    if (bytes->size() < needed) return std::nullopt;
    Canvas canvas(sizeOf(LogoKind::Operator));
    decodePhoneLogo(format, *bytes, canvas);
    return thumbnailOf(canvas);
}

std::optional<Thumbnail> documentThumbnail(FileSystem& files, const std::string& path) {
    const auto bytes = readFilePrefix(files, path, sizeOf(LogoKind::Picture).packedBytes());
    if (!bytes) return std::nullopt;
    const auto kind = documentKindForLength(bytes->size());
    if (!kind) return std::nullopt;
    Canvas canvas(sizeOf(*kind));
    unpackCanvas(canvas, *bytes);
    return thumbnailOf(canvas);
}

// A WBMP or OTB file at its own size (at most 4096 x 4096).
std::optional<Thumbnail> monoFileThumbnail(FileSystem& files, const std::string& path, MonoFileFormat format) {
    const auto bytes =
        readFilePrefix(files, path, 8 + static_cast<std::size_t>(kMaxMonoFileSide) * (kMaxMonoFileSide / 8 + 1));
    if (!bytes) return std::nullopt;
    const MonoFileReading reading = readMonoFile(format, *bytes);
    if (!reading.picture) return std::nullopt;
    return thumbnailOf(*reading.picture);
}

}  // namespace

std::optional<Thumbnail> readThumbnail(FileSystem& files, const std::string& path) {
    const auto extension = importExtension(path);
    if (!extension) return std::nullopt;
    if (*extension == "bmp") return bitmapThumbnail(files, path);
    if (const auto format = phoneLogoFormatForExtension(*extension)) return phoneLogoThumbnail(files, path, *format);
    if (*extension == "plr") return documentThumbnail(files, path);
    if (const auto format = monoFileFormatForExtension(*extension)) return monoFileThumbnail(files, path, *format);
    return std::nullopt;
}

}  // namespace pelorin
