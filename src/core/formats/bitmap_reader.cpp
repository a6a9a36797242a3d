#include "formats/bitmap_reader.h"

#include <algorithm>

namespace pelorin {

namespace {

std::uint32_t u32At(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int32_t s32At(const std::uint8_t* p) { return static_cast<std::int32_t>(u32At(p)); }

std::uint16_t u16At(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

bool knownDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
        case 2:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            return true;
        default:
            return false;
    }
}

std::uint64_t strideFor(std::int64_t width, int bitsPerPixel) {
    return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitsPerPixel) + 31) / 32 * 4;
}

std::uint64_t rowsFor(std::int32_t height) {
    const auto h = static_cast<std::int64_t>(height);
    return static_cast<std::uint64_t>(h < 0 ? -h : h);
}

}  // namespace

void BitmapReader::release() {
    info_.clear();
    bits_.clear();
    loaded_ = false;
}

std::optional<BitmapReader::Failure> BitmapReader::fail(std::string text, bool namesPath) {
    release();
    return Failure{std::move(text), namesPath};
}

bool BitmapReader::load(FileSystem& files, UserMessages& messages, const std::string& path) {
    const auto failure = read(files, path);
    if (failure) messages.showMessage(failure->text);
    return !failure;
}

std::optional<BitmapReader::Failure> BitmapReader::read(FileSystem& files, const std::string& path) {
    release();
    const std::string cannotRead = message::withPath(message::kFailedToOpenForReading, path);
    const std::string unsupported(message::kUnsupportedBitmap);
    auto in = files.openForReading(path);
    if (!in) return fail(cannotRead, true);
    const auto fileLength = in->size();
    if (!fileLength) return fail(cannotRead, true);

    std::uint8_t fileHeader[kFileHeaderSize] = {};
    const auto gotFileHeader = in->readAt(0, fileHeader);
    if (!gotFileHeader) return fail(cannotRead, true);
    if (*gotFileHeader < 2 || u16At(fileHeader) != 0x4D42) return fail(std::string(message::kNotADib));
    if (*gotFileHeader < kFileHeaderSize) return fail(unsupported);

    std::vector<std::uint8_t> info(kInfoSize, 0);
    const auto gotInfoHeader = in->readAt(kFileHeaderSize, std::span(info).first(kInfoHeaderSize));
    if (!gotInfoHeader) return fail(cannotRead, true);
    if (*gotInfoHeader >= 4 && u32At(info.data()) != kInfoHeaderSize) return fail(std::string(message::kOs2Bitmap));
    if (*gotInfoHeader < kInfoHeaderSize) return fail(unsupported);

    const std::int32_t width = s32At(info.data() + 4);
    const std::int32_t height = s32At(info.data() + 8);
    const int bitsPerPixel = u16At(info.data() + 14);
    const std::uint32_t compression = u32At(info.data() + 16);
    const std::uint64_t fileSizeField = u32At(fileHeader + 2);
    const std::uint64_t bitsOffset = u32At(fileHeader + 10);
    // Only plain, uncompressed pixel rows are understood, and they must lie
    // wholly inside the file and hold every row the header announces. With a
    // width of at least 1 every row takes 4 bytes or more, which bounds the
    // row count by the (capped) size of the pixel data.
    if (compression != 0 || !knownDepth(bitsPerPixel) || width <= 0) return fail(unsupported);
    if (fileSizeField <= bitsOffset || fileSizeField > *fileLength) return fail(unsupported);
    const std::uint64_t bitsSize = fileSizeField - bitsOffset;
    if (bitsSize > kMaxBitsSize) return fail(unsupported);
    if (rowsFor(height) * strideFor(width, bitsPerPixel) > bitsSize) return fail(unsupported);

    // The colour table is taken as the next 1024 bytes, whatever the real
    // number of colours; bytes past the end of the file read as zero. Only
    // entry 0 keeps its colour.
    const auto gotTable =
        in->readAt(kFileHeaderSize + kInfoHeaderSize, std::span(info).subspan(kInfoHeaderSize, kColourTableSize));
    if (!gotTable) return fail(cannotRead, true);
    std::fill(info.begin() + kInfoHeaderSize + 4, info.end(), kLightGrey);

    std::vector<std::uint8_t> bits(static_cast<std::size_t>(bitsSize));
    const auto gotBits = in->readAt(bitsOffset, bits);
    if (!gotBits || *gotBits != bits.size()) return fail(cannotRead, true);

    info_ = std::move(info);
    bits_ = std::move(bits);
    loaded_ = true;
    return std::nullopt;
}

int BitmapReader::width() const { return loaded_ ? s32At(info_.data() + 4) : 0; }

int BitmapReader::height() const { return loaded_ ? s32At(info_.data() + 8) : 0; }

int BitmapReader::bitsPerPixel() const { return loaded_ ? u16At(info_.data() + 14) : 0; }

int BitmapReader::rows() const { return static_cast<int>(rowsFor(height())); }

std::size_t BitmapReader::stride() const { return static_cast<std::size_t>(strideFor(width(), bitsPerPixel())); }

std::uint8_t BitmapReader::indexAt(int x, int storedRow) const {
    const int depth = bitsPerPixel();
    const std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(depth);
    const std::uint8_t byte = bits_[static_cast<std::size_t>(storedRow) * stride() + bit / 8];
    const int shift = 8 - depth - static_cast<int>(bit % 8);
    return static_cast<std::uint8_t>((byte >> shift) & ((1u << depth) - 1));
}

BitmapImage BitmapReader::image() const {
    BitmapImage image;
    if (!loaded_) return image;
    image.width = width();
    image.height = rows();
    image.rgb.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3);
    const int depth = bitsPerPixel();
    const std::size_t rowBytes = stride();
    auto out = image.rgb.begin();
    for (int y = 0; y < image.height; ++y) {
        const int storedRow = topDown() ? y : image.height - 1 - y;
        const std::uint8_t* row = bits_.data() + static_cast<std::size_t>(storedRow) * rowBytes;
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t red = 0, green = 0, blue = 0;
            const auto ux = static_cast<std::size_t>(x);
            if (depth <= 8) {
                const std::uint8_t* entry = info_.data() + kInfoHeaderSize + 4 * indexAt(x, storedRow);
                blue = entry[0], green = entry[1], red = entry[2];
            } else if (depth == 16) {
                // Five bits each of red, green and blue, scaled to eight.
                const unsigned v = u16At(row + 2 * ux);
                const auto scale = [](unsigned five) { return static_cast<std::uint8_t>(five << 3 | five >> 2); };
                red = scale(v >> 10 & 31), green = scale(v >> 5 & 31), blue = scale(v & 31);
            } else {
                const std::uint8_t* p = row + ux * static_cast<std::size_t>(depth / 8);
                blue = p[0], green = p[1], red = p[2];
            }
            *out++ = red;
            *out++ = green;
            *out++ = blue;
        }
    }
    return image;
}

}  // namespace pelorin
