#include "formats/bitmap_import.h"

#include "formats/bitmap_reader.h"

namespace pelorin {

namespace {

// Stored rows run from the bottom of the image upwards.
void fillFromBottomUp(Canvas& canvas, const BitmapReader& reader) {
    const int h = canvas.height();
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < canvas.width(); ++x) canvas.set(x, h - 1 - r, reader.indexAt(x, r) == 0);
}

// The logo of a loaded bitmap.
ImportResult bitmapLogo(const BitmapReader& reader) {
    const auto unsupported = [] { return ImportResult::failure(std::string(message::kUnsupportedBitmap), false); };
    if (reader.bitsPerPixel() > 8) return unsupported();
    const int width = reader.width();
    const int height = reader.height();
    // Every 72-wide bitmap selects the operator logo, even one of a height
    // that is then not imported.
    if (width == 72 && height != 14 && height != 28) return ImportResult::kindOnly(LogoKind::Operator);
    LogoKind kind = LogoKind::Operator;
    if (width == 72 && height == 28)
        kind = LogoKind::Picture;
    else if (width == 78 && height == 21)
        kind = LogoKind::LargeOperator;
    else if (width != 72)
        return unsupported();
    Canvas canvas(sizeOf(kind));
    fillFromBottomUp(canvas, reader);
    return ImportResult::imported(kind, std::move(canvas));
}

}  // namespace

bool isLogoBitmap(FileSystem& files, const std::string& path) {
    BitmapReader reader;
    if (reader.read(files, path) || reader.bitsPerPixel() > 8) return false;
    const int width = reader.width();
    const int height = reader.height();
    return (width == 72 && (height == 14 || height == 28)) || (width == 78 && height == 21);
}

ImportResult readBitmapLogo(FileSystem& files, const std::string& path) {
    BitmapReader reader;
    if (auto failure = reader.read(files, path))
        return ImportResult::failure(std::move(failure->text), failure->namesPath);
    return bitmapLogo(reader);
}

}  // namespace pelorin
