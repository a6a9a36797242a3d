#include "imageio/picture_io.h"

#include <zlib.h>

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QXmlStreamReader>
#include <algorithm>
#include <array>
#include <atomic>
#include <limits>
#include <mutex>

#include "document/import_file.h"
#include "document/user_messages.h"
#include "formats/bitmap_import.h"
#include "formats/bitmap_writer.h"
#include "util/text.h"

namespace pelorin::imageio {
namespace {

// While a picture is decoded, Qt's readers report damage only as log
// warnings (a JPEG with bad data still decodes, to grey). They are caught
// here and turned into a failure, and kept off the user's terminal. The
// handler is installed while any thread decodes; each thread collects its
// own warnings, so that the file browser's thumbnails can be read on a
// worker while the editor reads a picture.
class DecoderWarnings {
public:
    DecoderWarnings() : outer_(current_) {
        const std::lock_guard lock(mutex_);
        if (users_++ == 0) previous_ = qInstallMessageHandler(&DecoderWarnings::handle);
        current_ = this;
    }
    ~DecoderWarnings() {
        current_ = outer_;
        const std::lock_guard lock(mutex_);
        if (--users_ == 0) qInstallMessageHandler(previous_.load());
    }
    DecoderWarnings(const DecoderWarnings&) = delete;
    DecoderWarnings& operator=(const DecoderWarnings&) = delete;

    const QString& first() const { return first_; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        const bool fromReaders = context.category && std::string_view(context.category).starts_with("qt.gui.imageio");
        // A fatal message ends the program whatever a handler does: the
        // program's own handler says so on one line.
        if (current_ && fromReaders && type != QtFatalMsg) {
            if (type != QtDebugMsg && type != QtInfoMsg && current_->first_.isEmpty()) current_->first_ = text;
            return;
        }
        if (const QtMessageHandler previous = previous_.load()) previous(type, context, text);
    }

    static thread_local inline DecoderWarnings* current_ = nullptr;
    static inline std::mutex mutex_;
    static inline int users_ = 0;
    static inline std::atomic<QtMessageHandler> previous_ = nullptr;
    DecoderWarnings* outer_;
    QString first_;
};

std::string withName(const std::string& name, const std::string& text) { return name + ": " + text; }

// Qt's own guard (128 MB by default) would refuse pictures well below our
// pixel limit, with a less clear message; ours is checked before decoding.
// Qt's guard stays as the cap of what any decoder may allocate, at what the
// largest picture we take needs. Set once: the value is shared by all threads.
void limitDecoderMemory() {
    static const bool limited = [] {
        QImageReader::setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024) + 64));
        return true;
    }();
    (void)limited;
}

bool isGzip(std::span<const std::uint8_t> bytes) { return bytes.size() >= 2 && bytes[0] == 0x1f && bytes[1] == 0x8b; }

enum class Unpacked { Whole, TooLarge, Damaged };

// Unpacks gzip data into out, giving up as soon as it would be longer than
// limit: a few kilobytes can unpack to gigabytes.
Unpacked gunzip(std::span<const std::uint8_t> in, QByteArray& out, qsizetype limit) {
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return Unpacked::Damaged;
    stream.next_in = const_cast<Bytef*>(in.data());
    stream.avail_in = static_cast<uInt>(std::min<std::size_t>(in.size(), std::numeric_limits<uInt>::max()));
    std::array<char, 64 * 1024> chunk{};
    Unpacked outcome = Unpacked::Damaged;
    for (;;) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_out = static_cast<uInt>(chunk.size());
        const int status = inflate(&stream, Z_NO_FLUSH);
        const auto produced = static_cast<qsizetype>(chunk.size() - stream.avail_out);
        if (out.size() + produced > limit) {
            outcome = Unpacked::TooLarge;
            break;
        }
        out.append(chunk.data(), produced);
        if (status == Z_STREAM_END) {
            outcome = Unpacked::Whole;
            break;
        }
        // Anything else (damaged data, or the input ending early) is damage.
        if (status != Z_OK) break;
    }
    inflateEnd(&stream);
    return outcome;
}

bool isHrefAttribute(QStringView name) { return name == u"href" || name.endsWith(u":href"); }

// Why an SVG picture embedded in an <image> as a data: address is not drawn:
// Qt decodes it with its own readers, so it gets the checks of a file.
std::string embeddedPictureRefusal(const QString& address, long long maxPixels) {
    // Qt takes the text after the last "base64," and nothing else.
    const qsizetype at = address.lastIndexOf(u"base64,");
    if (at < 0) return {};
    QByteArray data = QByteArray::fromBase64(address.mid(at + 7).toLatin1());
    if (isGzip({reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())}))
        return "it holds a compressed picture inside it";
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead()) return {};
    if (reader.format() == "svg" || reader.format() == "svgz") return "it holds another SVG picture inside it";
    const QSize size = reader.size();
    if (size.isValid() && static_cast<long long>(size.width()) * size.height() > maxPixels)
        return "a picture inside it is " + std::to_string(size.width()) + " x " + std::to_string(size.height()) +
               " pixels";
    return {};
}

// Why an SVG file is not read, or nothing. Qt's SVG renderer would load the
// files an <image> names (and a style sheet that a processing instruction
// names) from any path, a device included; an SVG that names another file
// or address is refused, so that a picture never shows what another file
// holds. The same XML reader as Qt's is used, entities expanded alike.
std::string svgRefusal(const QByteArray& svg, long long maxPixels) {
    QXmlStreamReader xml(svg);
    xml.setNamespaceProcessing(false);
    const std::string otherFile = "it names another file or address";
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::ProcessingInstruction && xml.processingInstructionTarget() == u"xml-stylesheet")
            return otherFile + " (a style sheet)";
        if (token != QXmlStreamReader::StartElement) continue;
        const QStringView element = xml.name();
        const bool image = element == u"image" || element.endsWith(u":image");
        for (const QXmlStreamAttribute& attribute : xml.attributes()) {
            if (!isHrefAttribute(attribute.qualifiedName())) continue;
            const QString value = attribute.value().trimmed().toString();
            // Qt reads every <image> address not starting with "data" as a file.
            if (image && value.startsWith(u"data", Qt::CaseInsensitive)) {
                const std::string why = embeddedPictureRefusal(value, maxPixels);
                if (!why.empty()) return why;
                continue;
            }
            if (!image && (value.startsWith(u'#') || value.startsWith(u"data:", Qt::CaseInsensitive))) continue;
            return otherFile + (image ? " (an image)" : " (a link)");
        }
    }
    return {};
}

// False when a GIF ends before its first picture does: Qt's reader then
// gives what it decoded so far without a word. Walks the blocks up to the
// end of the first picture's data.
bool gifFirstPictureComplete(std::span<const std::uint8_t> gif) {
    std::size_t at = 13;  // signature, version and the logical screen
    if (gif.size() < at) return false;
    if (gif[10] & 0x80) at += std::size_t{3} << ((gif[10] & 7) + 1);  // the global colour table
    const auto skipDataBlocks = [&gif, &at] {
        for (;;) {
            if (at >= gif.size()) return false;
            const std::uint8_t length = gif[at++];
            if (length == 0) return true;
            at += length;
        }
    };
    while (at < gif.size()) {
        const std::uint8_t introducer = gif[at++];
        if (introducer == 0x21) {  // an extension: its label, then data blocks
            ++at;
            if (!skipDataBlocks()) return false;
        } else if (introducer == 0x2c) {  // the picture: its descriptor, colours, code size and data
            if (gif.size() - at < 9) return false;
            const std::uint8_t flags = gif[at + 8];
            at += 9;
            if (flags & 0x80) at += std::size_t{3} << ((flags & 7) + 1);
            ++at;  // the LZW code size
            return skipDataBlocks();
        } else {
            return true;  // the trailer or something Qt's reader judges itself
        }
    }
    return false;
}

}  // namespace

GreyImage greyFromImage(const QImage& image) {
    GreyImage grey(image.width(), image.height());
    if (grey.empty()) return grey;
    // In bands, so that a large picture is never held a second time in full
    // as 32 bits a pixel.
    constexpr int kBand = 64;
    for (int top = 0; top < image.height(); top += kBand) {
        const int rows = std::min(kBand, image.height() - top);
        const QImage argb = image.copy(0, top, image.width(), rows).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < rows; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x) {
                const QRgb pixel = line[x];
                const int alpha = qAlpha(pixel);
                // Alpha over white, then the usual luminance weights.
                const int level = qGray(pixel);
                grey.at(x, top + y) = static_cast<std::uint8_t>((level * alpha + 255 * (255 - alpha) + 127) / 255);
            }
        }
    }
    return grey;
}

PictureRead readPictureData(std::span<const std::uint8_t> bytes, const std::string& name, long long maxPixels) {
    PictureRead result;
    limitDecoderMemory();
    const auto damaged = [&result, &name](const std::string& why) {
        result.error = withName(name, "the picture is damaged or incomplete (" + why + ")");
        return result;
    };
    const auto notAPicture = [&result, &name] {
        result.error = withName(name,
                                "not a picture that can be read (PNG, JPEG, GIF, BMP, ICO, PBM, PGM, PPM, "
                                "XPM or SVG)");
        return result;
    };
    QByteArray data =
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    // Compressed SVG is unpacked here, within the limit of an SVG file, and
    // read as SVG: Qt's reader would unpack all of it, whatever its size.
    const bool compressed = isGzip(bytes);
    if (compressed) {
        QByteArray unpacked;
        switch (gunzip(bytes, unpacked, kMaxSvgBytes)) {
            case Unpacked::TooLarge:
                result.error = withName(name, "the compressed picture unpacks to more than " +
                                                  std::to_string(kMaxSvgBytes / (1024 * 1024)) +
                                                  " MB; SVG pictures of at most that size can be read");
                return result;
            case Unpacked::Damaged:
                return damaged("the compressed data is damaged or ends early");
            case Unpacked::Whole:
                break;
        }
        data = unpacked;
    }
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    DecoderWarnings warnings;
    if (!reader.canRead()) return notAPicture();
    const bool vector = reader.format() == "svg" || reader.format() == "svgz";
    // Only SVG comes compressed; compressed data inside it is not unpacked again.
    if (compressed && reader.format() != "svg") return notAPicture();
    if (vector) {
        if (data.size() > kMaxSvgBytes) {
            result.error = withName(
                name, "SVG pictures of at most " + std::to_string(kMaxSvgBytes / (1024 * 1024)) + " MB can be read");
            return result;
        }
        const std::string refusal = svgRefusal(data, maxPixels);
        if (!refusal.empty()) {
            result.error = withName(name, "the SVG picture is not read, as " + refusal);
            return result;
        }
    }
    if (reader.format() == "gif" && !gifFirstPictureComplete(bytes))
        return damaged("the file ends before its first picture does");
    const QSize size = reader.size();
    if (size.isValid()) {
        if (static_cast<long long>(size.width()) * size.height() > maxPixels) {
            result.error = withName(name, "the picture is " + std::to_string(size.width()) + " x " +
                                              std::to_string(size.height()) + " pixels; pictures of at most " +
                                              std::to_string(maxPixels / 1'000'000) + " megapixels can be read");
            return result;
        }
        const bool scalable = reader.supportsOption(QImageIOHandler::ScaledSize);
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
        return damaged(escapedForDisplay(why.toStdString()));
    }
    if (static_cast<long long>(image.width()) * image.height() > maxPixels) {
        result.error =
            withName(name, "the picture is larger than " + std::to_string(maxPixels / 1'000'000) + " megapixels");
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

std::vector<std::uint8_t> encodeMonochromeBitmap(const Canvas& canvas, int scale) {
    scale = std::clamp(scale, 1, 16);
    Canvas enlarged(canvas.width() * scale, canvas.height() * scale);
    for (int x = 0; x < enlarged.width(); ++x)
        for (int y = 0; y < enlarged.height(); ++y) enlarged.set(x, y, canvas.isSet(x / scale, y / scale));
    return encodeBitmap(enlarged, BitmapDepth::OneBit);
}

std::optional<std::vector<std::uint8_t>> encodePicture(const Canvas& canvas, std::string_view format, int scale,
                                                       Look look) {
    QImage image = canvasImage(canvas, scale, look);
    // Black on white needs no more than two colours.
    if (look == Look::Plain)
        image =
            image.convertToFormat(QImage::Format_Indexed8, {qRgb(0, 0, 0), qRgb(255, 255, 255)}, Qt::ThresholdDither);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, QByteArray(format.data(), static_cast<qsizetype>(format.size())));
    if (!writer.write(image)) return std::nullopt;
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace pelorin::imageio
