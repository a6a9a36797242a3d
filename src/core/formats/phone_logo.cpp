#include "formats/phone_logo.h"

#include <algorithm>

#include "document/packed.h"

namespace pelorin {

namespace {

constexpr int kWidth = 72;
constexpr int kHeight = 14;
constexpr std::size_t kPixels = kWidth * kHeight;
constexpr std::size_t kPackedBytes = kPixels / 8;

// Headers written by encodePhoneLogo. The readers look only at the width and
// height bytes; the rest are the values other phone tools write for a plain
// black-and-white operator logo.
//
// ngg, 16 bytes:
//   0-2   "NGG" signature      3     0
//   4-5   1, format version (16-bit little-endian)
//   6-7   width 72 (16-bit)    8-9   height 14 (16-bit)
//   10-11 1, bits per pixel    12-13 1, number of images
//   14-15 0, reserved
constexpr std::uint8_t kNggHeader[16] = {'N', 'G', 'G', 0, 1, 0, kWidth, 0, kHeight, 0, 1, 0, 1, 0, 0, 0};
// nol, 20 bytes: as ngg with the network code inserted before the size.
//   0-2   "NOL" signature      3     0
//   4-5   1, format version
//   6-7   mobile country code  8-9   mobile network code (both 0: not known)
//   10-11 width 72             12-13 height 14
//   14-15 1, bits per pixel    16-17 1, number of images
//   18-19 0, reserved
constexpr std::uint8_t kNolHeader[20] = {'N', 'O', 'L', 0, 1, 0, 0, 0, 0, 0, kWidth, 0, kHeight, 0, 1, 0, 1, 0, 0, 0};
// nlm, 10 bytes:
//   0-3   "NLM " signature
//   4     1, format version    5     0, reserved
//   6     0, image type (0 = operator logo)
//   7     width 72             8     height 14
//   9     1, bits per pixel
constexpr std::uint8_t kNlmHeader[10] = {'N', 'L', 'M', ' ', 1, 0, 0, kWidth, kHeight, 1};

}  // namespace

std::optional<PhoneLogoFormat> phoneLogoFormatForExtension(const std::string& lowerCaseExtension) {
    if (lowerCaseExtension == "ngg") return PhoneLogoFormat::Ngg;
    if (lowerCaseExtension == "nol") return PhoneLogoFormat::Nol;
    if (lowerCaseExtension == "nlm") return PhoneLogoFormat::Nlm;
    return std::nullopt;
}

std::size_t phoneLogoHeaderSize(PhoneLogoFormat format) {
    switch (format) {
        case PhoneLogoFormat::Ngg:
            return sizeof kNggHeader;
        case PhoneLogoFormat::Nol:
            return sizeof kNolHeader;
        case PhoneLogoFormat::Nlm:
            return sizeof kNlmHeader;
    }
    return 0;
}

std::size_t phoneLogoFileSize(PhoneLogoFormat format) {
    return phoneLogoHeaderSize(format) + (format == PhoneLogoFormat::Nlm ? kPackedBytes : kPixels);
}

std::optional<CanvasSize> phoneLogoDeclaredSize(PhoneLogoFormat format, std::span<const std::uint8_t> bytes) {
    std::size_t widthAt = 6, heightAt = 8;
    if (format == PhoneLogoFormat::Nol) widthAt = 10, heightAt = 12;
    if (format == PhoneLogoFormat::Nlm) widthAt = 7, heightAt = 8;
    if (bytes.size() <= std::max(widthAt, heightAt)) return std::nullopt;
    return CanvasSize{bytes[widthAt], bytes[heightAt]};
}

void decodePhoneLogo(PhoneLogoFormat format, std::span<const std::uint8_t> bytes, Canvas& canvas) {
    const std::size_t header = phoneLogoHeaderSize(format);
    const auto pixels = bytes.size() > header ? bytes.subspan(header) : std::span<const std::uint8_t>{};
    if (format == PhoneLogoFormat::Nlm) {
        unpackCanvas(canvas, pixels.first(std::min(pixels.size(), kPackedBytes)));
        return;
    }
    // One character a pixel, rows from the top, nothing between the rows.
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const auto i = static_cast<std::size_t>(y * kWidth + x);
            canvas.set(x, y, i < pixels.size() && pixels[i] == '1');
        }
    }
}

std::vector<std::uint8_t> encodePhoneLogo(PhoneLogoFormat format, const Canvas& canvas) {
    std::vector<std::uint8_t> bytes;
    switch (format) {
        case PhoneLogoFormat::Ngg:
            bytes.assign(std::begin(kNggHeader), std::end(kNggHeader));
            break;
        case PhoneLogoFormat::Nol:
            bytes.assign(std::begin(kNolHeader), std::end(kNolHeader));
            break;
        case PhoneLogoFormat::Nlm:
            bytes.assign(std::begin(kNlmHeader), std::end(kNlmHeader));
            break;
    }
    if (format == PhoneLogoFormat::Nlm) {
        const auto packed = packCanvas(canvas);
        bytes.insert(bytes.end(), packed.begin(), packed.end());
        return bytes;
    }
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) bytes.push_back(canvas.isSet(x, y) ? '1' : '0');
    return bytes;
}

ImportResult readPhoneLogo(FileSystem& files, const std::string& path, PhoneLogoFormat format) {
    // Only header and pixels are read, never more, whatever the file's size.
    const auto bytes = readFilePrefix(files, path, phoneLogoFileSize(format));
    if (!bytes) return ImportResult::unreadable(path);
    Canvas canvas(sizeOf(LogoKind::Operator));
    decodePhoneLogo(format, *bytes, canvas);
    return ImportResult::imported(LogoKind::Operator, std::move(canvas));
}

}  // namespace pelorin
