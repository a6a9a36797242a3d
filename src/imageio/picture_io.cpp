#include "imageio/picture_io.h"

#include <algorithm>
#include <array>

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include "document/import_file.h"
#include "document/user_messages.h"
#include "formats/bitmap_import.h"
#include "util/text.h"

namespace pelorin::imageio {
namespace {

// While a picture is decoded, Qt's readers report damage only as log
// warnings (a JPEG with bad data still decodes, to grey). They are caught
// here and turned into a failure, and kept off the user's terminal.
class DecoderWarnings {
public:
    DecoderWarnings() : previous_(qInstallMessageHandler(&DecoderWarnings::handle)) { current_ = this; }
    ~DecoderWarnings() {
        qInstallMessageHandler(previous_);
        current_ = nullptr;
    }
    DecoderWarnings(const DecoderWarnings&) = delete;
    DecoderWarnings& operator=(const DecoderWarnings&) = delete;

    const QString& first() const { return first_; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        const bool fromReaders = context.category && std::string_view(context.category).starts_with("qt.gui.imageio");
        if (current_ && fromReaders) {
            if (type != QtDebugMsg && type != QtInfoMsg && current_->first_.isEmpty()) current_->first_ = text;
            return;
        }
        if (current_ && current_->previous_) current_->previous_(type, context, text);
    }

    static inline DecoderWarnings* current_ = nullptr;
    QtMessageHandler previous_;
    QString first_;
};

std::string withName(const std::string& name, const std::string& text) { return name + ": " + text; }

}  // namespace

GreyImage greyFromImage(const QImage& image) {
    GreyImage grey(image.width(), image.height());
    if (grey.empty()) return grey;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = line[x];
            const int alpha = qAlpha(pixel);
            // Alpha over white, then the usual luminance weights.
            const int level = qGray(pixel);
            grey.at(x, y) = static_cast<std::uint8_t>((level * alpha + 255 * (255 - alpha) + 127) / 255);
        }
    }
    return grey;
}

PictureRead readPictureData(std::span<const std::uint8_t> bytes, const std::string& name, long long maxPixels) {
    PictureRead result;
    // Qt's own guard (128 MB by default) would refuse pictures well below our
    // limit, with a less clear message; ours is checked before decoding.
    QImageReader::setAllocationLimit(static_cast<int>(std::max(128LL, maxPixels * 4 / (1024 * 1024) + 64)));
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    DecoderWarnings warnings;
    if (!reader.canRead()) {
        result.error = withName(name, "not a picture that can be read (PNG, JPEG, GIF, BMP, ICO, PBM, PGM, PPM, "
                                      "XPM or SVG)");
        return result;
    }
    const QSize size = reader.size();
    if (size.isValid()) {
        if (static_cast<long long>(size.width()) * size.height() > maxPixels) {
            result.error = withName(name, "the picture is " + std::to_string(size.width()) + " x " +
                                              std::to_string(size.height()) +
                                              " pixels; pictures of at most " + std::to_string(maxPixels / 1'000'000) +
                                              " megapixels can be read");
            return result;
        }
        const bool scalable = reader.supportsOption(QImageIOHandler::ScaledSize);
        const bool vector = reader.format() == "svg" || reader.format() == "svgz";
        const int longer = std::max(size.width(), size.height());
        if (scalable && longer > 0 && (longer > kDecodeEdge || vector)) {
            const double factor = static_cast<double>(vector ? 512 : kDecodeEdge) / longer;
            reader.setScaledSize(QSize(std::max(1, static_cast<int>(size.width() * factor + 0.5)),
                                       std::max(1, static_cast<int>(size.height() * factor + 0.5))));
        }
    }
    const QImage image = reader.read();
    if (image.isNull() || !warnings.first().isEmpty()) {
        const QString why = !warnings.first().isEmpty() ? warnings.first() : reader.errorString();
        result.error =
            withName(name, "the picture is damaged or incomplete (" + escapedForDisplay(why.toStdString()) + ")");
        return result;
    }
    if (static_cast<long long>(image.width()) * image.height() > maxPixels) {
        result.error = withName(name, "the picture is larger than " + std::to_string(maxPixels / 1'000'000) +
                                          " megapixels");
        return result;
    }
    result.picture = greyFromImage(image);
    return result;
}

PictureRead readPicture(FileSystem& files, const std::string& path) {
    const auto failedToOpen = [&path] {
        return PictureRead{std::nullopt, message::withPath(message::kFailedToOpenForReading, path)};
    };
    const auto file = files.openForReading(path);
    if (!file) return failedToOpen();
    const auto size = file->size();
    if (!size) return failedToOpen();
    // A picture file of over a gigabyte is not one we could show anyway.
    if (*size > (1ULL << 30)) return {std::nullopt, withName(path, "the file is too large to be a picture")};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(*size));
    const auto read = file->readAt(0, bytes);
    if (!read || *read != bytes.size()) return failedToOpen();
    return readPictureData(bytes, path);
}

std::optional<QImage> readPictureThumbnail(FileSystem& files, const std::string& path, QSize box) {
    const PictureRead read = readPicture(files, path);
    if (!read.picture) return std::nullopt;
    const GreyImage& grey = *read.picture;
    QImage image(grey.pixels.data(), grey.width, grey.height, grey.width, QImage::Format_Grayscale8);
    return image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
}

bool isPictureExtension(std::string_view extension) {
    static constexpr std::array<std::string_view, 12> kExtensions{"png", "jpg", "jpeg", "gif", "bmp", "ico",
                                                                  "pbm", "pgm", "ppm",  "xpm", "svg", "svgz"};
    return std::find(kExtensions.begin(), kExtensions.end(), extension) != kExtensions.end();
}

bool opensAsPicture(FileSystem& files, const std::string& path) {
    const auto extension = importExtension(path);
    if (!extension || !isPictureExtension(*extension)) return false;
    return *extension != "bmp" || !isLogoBitmap(files, path);
}

QImage canvasImage(const Canvas& canvas, int scale, Look look) {
    scale = std::clamp(scale, 1, 16);
    QImage image(canvas.width() * scale, canvas.height() * scale, QImage::Format_RGB32);
    const QRgb ink = look == Look::Plain ? qRgb(0, 0, 0) : qRgb(0x20, 0x2c, 0x1c);
    const QRgb paper = look == Look::Plain ? qRgb(255, 255, 255) : qRgb(0x9c, 0xb0, 0x8a);
    const QRgb grid = qRgb(0x8c, 0xa0, 0x7a);
    // The grid only where a cell is large enough to keep a visible dot inside.
    const bool withGrid = look == Look::PhoneScreen && scale >= 3;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const bool edge = withGrid && (x % scale == scale - 1 || y % scale == scale - 1);
            line[x] = edge ? grid : canvas.isSet(x / scale, y / scale) ? ink : paper;
        }
    }
    return image;
}

std::optional<std::vector<std::uint8_t>> encodePicture(const Canvas& canvas, std::string_view format, int scale,
                                                       Look look) {
    QImage image = canvasImage(canvas, scale, look);
    // Black on white needs no more than two colours.
    if (look == Look::Plain) image = image.convertToFormat(QImage::Format_Indexed8, {qRgb(0, 0, 0), qRgb(255, 255, 255)},
                                       Qt::ThresholdDither);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, QByteArray(format.data(), static_cast<qsizetype>(format.size())));
    if (!writer.write(image)) return std::nullopt;
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace pelorin::imageio
