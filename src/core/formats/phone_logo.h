#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/canvas.h"
#include "document/file_system.h"
#include "document/import_result.h"

namespace pelorin {

// The phone-logo files, all 72 x 14: "ngg" and "nol" hold one character per
// pixel ("1" set, anything else clear) after a 16- or 20-byte header; "nlm"
// holds the packed form after a 10-byte header.
enum class PhoneLogoFormat { Ngg, Nol, Nlm };

std::optional<PhoneLogoFormat> phoneLogoFormatForExtension(const std::string& lowerCaseExtension);

std::size_t phoneLogoHeaderSize(PhoneLogoFormat format);
// Header plus pixel data: 1024 (ngg), 1028 (nol), 136 (nlm).
std::size_t phoneLogoFileSize(PhoneLogoFormat format);

// The width and height bytes of the header, or nothing when the bytes do not
// reach them. The import does not look at them; a file list can.
std::optional<CanvasSize> phoneLogoDeclaredSize(PhoneLogoFormat format, std::span<const std::uint8_t> bytes);

// Reads the pixels of a file's bytes into a 72 x 14 canvas. Every pixel is
// written; those the bytes do not reach (a short file) are clear.
void decodePhoneLogo(PhoneLogoFormat format, std::span<const std::uint8_t> bytes, Canvas& canvas);

// The file bytes of a 72 x 14 canvas, with a header that other phone tools
// accept. The canvas must be 72 x 14.
std::vector<std::uint8_t> encodePhoneLogo(PhoneLogoFormat format, const Canvas& canvas);

// The import: reads the file as an operator-logo canvas; a file that cannot be
// opened or read fails with "Failed to open file %s for reading.".
ImportResult readPhoneLogo(FileSystem& files, const std::string& path, PhoneLogoFormat format);

}  // namespace pelorin
