#include "formats/mono_files.h"

#include "document/file_system.h"
#include "imaging/fit.h"
#include "imaging/picture_to_logo.h"

namespace pelorin {

namespace {

// At most 2 + 3 + 3 header octets and the pixels of the largest picture.
constexpr std::size_t kMaxMonoFileBytes = 8 + static_cast<std::size_t>(kMaxMonoFileSide) * (kMaxMonoFileSide / 8 + 1);

// A WBMP multi-byte integer at at; false when it runs past the data or
// beyond what an unsigned holds.
bool readMultiByte(std::span<const std::uint8_t> bytes, std::size_t& at, unsigned& value) {
    value = 0;
    for (int count = 0; count < 5; ++count) {
        if (at >= bytes.size()) return false;
        const std::uint8_t octet = bytes[at++];
        value = value << 7 | (octet & 0x7Fu);
        if ((octet & 0x80) == 0) return true;
        if (value > (0xFFFFFFFFu >> 7)) return false;
    }
    return false;
}

void writeMultiByte(std::vector<std::uint8_t>& out, unsigned value) {
    std::uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) out.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
    out.push_back(groups[0]);
}

MonoFileReading refused(std::string why) {
    MonoFileReading reading;
    reading.why = std::move(why);
    return reading;
}

std::string sizeText(unsigned width, unsigned height) { return std::to_string(width) + " x " + std::to_string(height); }

}  // namespace

std::optional<MonoFileFormat> monoFileFormatForExtension(const std::string& lowerCaseExtension) {
    if (lowerCaseExtension == "wbmp") return MonoFileFormat::Wbmp;
    if (lowerCaseExtension == "otb") return MonoFileFormat::Otb;
    return std::nullopt;
}

MonoFileReading readMonoFile(MonoFileFormat format, std::span<const std::uint8_t> bytes) {
    unsigned width = 0;
    unsigned height = 0;
    std::size_t at = 0;
    if (format == MonoFileFormat::Wbmp) {
        unsigned type = 0;
        if (!readMultiByte(bytes, at, type)) return refused("the WBMP header is cut short");
        if (type != 0) return refused("WBMP type " + std::to_string(type) + " is not a one-bit picture (type 0)");
        if (at >= bytes.size()) return refused("the WBMP header is cut short");
        if (bytes[at++] != 0x00) return refused("the WBMP fixed header is not 0 (extension headers are not read)");
        if (!readMultiByte(bytes, at, width) || !readMultiByte(bytes, at, height))
            return refused("the WBMP header is cut short");
    } else {
        if (bytes.size() < 4) return refused("the OTB header is cut short");
        if (bytes[0] != 0x00) return refused("the OTB info field is not 00");
        if (bytes[3] != 0x01) return refused("the OTB depth is not 1");
        width = bytes[1];
        height = bytes[2];
        at = 4;
    }
    if (width == 0 || height == 0) return refused("a picture of " + sizeText(width, height) + " has no pixels");
    if (width > kMaxMonoFileSide || height > kMaxMonoFileSide)
        return refused("a picture of " + sizeText(width, height) + " is larger than " +
                       sizeText(kMaxMonoFileSide, kMaxMonoFileSide));
    const std::size_t stride = (width + 7) / 8;
    const std::size_t needed =
        format == MonoFileFormat::Wbmp ? stride * height : (static_cast<std::size_t>(width) * height + 7) / 8;
    if (bytes.size() - at < needed)
        return refused("a picture of " + sizeText(width, height) + " needs " + std::to_string(needed) +
                       " octets of pixels, " + std::to_string(bytes.size() - at) + " follow");
    const auto pixels = bytes.subspan(at, needed);
    Canvas canvas(static_cast<int>(width), static_cast<int>(height));
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const std::size_t bit =
                format == MonoFileFormat::Wbmp ? y * stride * 8 + x : static_cast<std::size_t>(y) * width + x;
            const bool one = (pixels[bit / 8] & (0x80u >> (bit % 8))) != 0;
            canvas.set(static_cast<int>(x), static_cast<int>(y), format == MonoFileFormat::Wbmp ? !one : one);
        }
    }
    MonoFileReading reading;
    reading.picture = std::move(canvas);
    return reading;
}

std::optional<std::vector<std::uint8_t>> encodeMonoFile(MonoFileFormat format, const Canvas& canvas) {
    const auto width = static_cast<unsigned>(canvas.width());
    const auto height = static_cast<unsigned>(canvas.height());
    std::vector<std::uint8_t> out;
    if (format == MonoFileFormat::Wbmp) {
        out = {0x00, 0x00};
        writeMultiByte(out, width);
        writeMultiByte(out, height);
        const std::size_t stride = (width + 7) / 8;
        for (unsigned y = 0; y < height; ++y) {
            for (std::size_t octet = 0; octet < stride; ++octet) {
                std::uint8_t value = 0;
                for (unsigned bit = 0; bit < 8; ++bit) {
                    const auto x = static_cast<int>(octet * 8 + bit);
                    // 1 is white; the padding beyond the right edge too.
                    if (x >= canvas.width() || !canvas.isSet(x, static_cast<int>(y)))
                        value |= static_cast<std::uint8_t>(0x80u >> bit);
                }
                out.push_back(value);
            }
        }
        return out;
    }
    if (width == 0 || height == 0 || width > 255 || height > 255) return std::nullopt;
    out = {0x00, static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(height), 0x01};
    out.resize(4 + (static_cast<std::size_t>(width) * height + 7) / 8, 0);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            if (!canvas.isSet(static_cast<int>(x), static_cast<int>(y))) continue;
            const std::size_t bit = static_cast<std::size_t>(y) * width + x;
            out[4 + bit / 8] = static_cast<std::uint8_t>(out[4 + bit / 8] | (0x80u >> (bit % 8)));
        }
    }
    return out;
}

std::optional<LogoKind> exactCanvasKind(int width, int height) {
    for (LogoKind kind : {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator}) {
        const CanvasSize size = sizeOf(kind);
        if (size.width == width && size.height == height) return kind;
    }
    return std::nullopt;
}

ImportResult readMonoLogoFile(FileSystem& files, const std::string& path, MonoFileFormat format) {
    const ReadResult read = readWholeFile(files, path, kMaxMonoFileBytes);
    if (read.status == ReadStatus::CannotRead) return ImportResult::unreadable(path);
    const MonoFileReading reading = read.status == ReadStatus::TooLarge
                                        ? refused("the file is larger than any picture read")
                                        : readMonoFile(format, read.bytes);
    if (!reading.picture) return ImportResult::failure(path + ": " + reading.why, true);
    const Canvas& picture = *reading.picture;
    if (const auto exact = exactCanvasKind(picture.width(), picture.height()))
        return ImportResult::imported(*exact, picture);
    GreyImage grey;
    grey.width = picture.width();
    grey.height = picture.height();
    grey.pixels.reserve(static_cast<std::size_t>(grey.width) * static_cast<std::size_t>(grey.height));
    for (int y = 0; y < grey.height; ++y)
        for (int x = 0; x < grey.width; ++x) grey.pixels.push_back(picture.isSet(x, y) ? 0 : 255);
    const LogoKind kind = nearestKind(grey.width, grey.height);
    PictureOptions options;
    options.tone.threshold = 128;
    return ImportResult::imported(kind, pictureToCanvas(grey, sizeOf(kind), options));
}

}  // namespace pelorin
