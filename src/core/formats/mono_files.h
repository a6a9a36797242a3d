#pragma once

// One-bit picture files other logo programs keep:
//   WBMP type 0: type 0, fixed header 0, width and height as multi-byte
//     integers (7 bits an octet, high bit set on all but the last), then rows
//     padded to whole octets, first pixel in bit 0x80, 1 = white;
//   OTB: the OTA bitmap as a file, info field 0x00, width, height (each at
//     most 255), depth 1, then the pixels packed with rows running on
//     unpadded, first pixel in bit 0x80, 1 = black.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/canvas.h"
#include "document/file_system.h"
#include "document/import_result.h"

namespace pelorin {

enum class MonoFileFormat { Wbmp, Otb };

std::optional<MonoFileFormat> monoFileFormatForExtension(const std::string& lowerCaseExtension);

// The largest picture read: larger ones are refused before any pixel is
// allocated.
inline constexpr unsigned kMaxMonoFileSide = 4096;

struct MonoFileReading {
    std::optional<Canvas> picture;  // at the file's own size; set pixels are black
    std::string why;                // when there is none
};

// Reads a whole file's bytes; octets beyond the pixels are ignored, too few
// are refused.
MonoFileReading readMonoFile(MonoFileFormat format, std::span<const std::uint8_t> bytes);

// The file bytes of a canvas; an OTB needs a canvas of at most 255 x 255
// (nothing otherwise).
std::optional<std::vector<std::uint8_t>> encodeMonoFile(MonoFileFormat format, const Canvas& canvas);

// The canvas a picture of this size goes to when it is one of the three,
// nothing otherwise.
std::optional<LogoKind> exactCanvasKind(int width, int height);

// File, Open: a file of a canvas's size fills that canvas; any other size is
// fitted (contain, threshold at the middle grey) onto the canvas nearest its
// shape. Nothing is changed: the caller applies the result.
ImportResult readMonoLogoFile(FileSystem& files, const std::string& path, MonoFileFormat format);

}  // namespace pelorin
