#pragma once

#include <QImage>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/canvas.h"
#include "document/file_system.h"
#include "imaging/grey_image.h"

namespace pelorin::imageio {

// Pictures larger than this are refused before they are decoded.
inline constexpr long long kMaxPicturePixels = 100'000'000;
// Pictures whose reader can decode at a reduced size (JPEG, SVG) are decoded
// at most this many pixels along their longer side: plenty for a logo of
// 78 pixels and for the enlarged preview.
inline constexpr int kDecodeEdge = 1024;
// SVG text, compressed SVG once unpacked, is read up to this size: a logo's
// drawing needs far less, and Qt's SVG reader holds all of it at once.
inline constexpr qsizetype kMaxSvgBytes = 8 * 1024 * 1024;

// A picture read from a file or from bytes: the grey picture, or one line
// saying why there is none.
struct PictureRead {
    std::optional<GreyImage> picture;
    std::string error;
};

// Reads any picture Qt's readers know (PNG, JPEG, GIF's first frame, BMP,
// ICO, PBM/PGM/PPM, XPM, SVG with Qt's SVG module) by its content, not its
// name. Transparent parts count as white. A damaged, incomplete or unknown
// file, or one over kMaxPicturePixels, gives an error naming the file.
// Compressed SVG is unpacked only up to kMaxSvgBytes; an SVG that refers to
// another file or address is refused, and nothing but the bytes given is read.
PictureRead readPicture(FileSystem& files, const std::string& path);
PictureRead readPictureData(std::span<const std::uint8_t> bytes, const std::string& name,
                            long long maxPixels = kMaxPicturePixels);

// A small picture of the file for the file browser, fitted into box keeping
// its aspect ratio; nothing when it cannot be read. Shows no message.
std::optional<QImage> readPictureThumbnail(FileSystem& files, const std::string& path, QSize box);

// An image already in memory (the clipboard) as grey, alpha on white.
GreyImage greyFromImage(const QImage& image);

// The extensions offered as pictures (lower case, without the dot).
bool isPictureExtension(std::string_view extension);

// True when the path names a picture rather than a logo file: a picture
// extension, except a bitmap the logo import reads (8 bits or fewer, of a
// canvas size), which stays a logo.
bool opensAsPicture(FileSystem& files, const std::string& path);

enum class Look {
    Plain,        // black on white, each cell scale x scale pixels
    PhoneScreen,  // dark cells on a grey-green screen with the pixel grid
};

// The canvas as a picture at a scale of 1 to 16 pixels a cell.
QImage canvasImage(const Canvas& canvas, int scale, Look look);

// The canvas as a Windows bitmap of 1 bit a pixel (index 0 black, 1 white)
// at a scale of 1 to 16 pixels a cell: the one kind of bitmap some programs
// that send pictures to phones take.
std::vector<std::uint8_t> encodeMonochromeBitmap(const Canvas& canvas, int scale);

// The canvas encoded as "png" or "bmp"; nothing when Qt cannot write it.
std::optional<std::vector<std::uint8_t>> encodePicture(const Canvas& canvas, std::string_view format, int scale,
                                                       Look look);

}  // namespace pelorin::imageio
