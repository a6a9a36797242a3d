#pragma once

#include <string>

#include "document/file_system.h"
#include "document/import_result.h"

namespace pelorin {

// Reads a Windows bitmap of 72 x 14, 72 x 28 or 78 x 21 pixels as the canvas
// of that size and kind. Colour-table index 0 is a
// set pixel and every other index a clear one; the colours are not looked at.
// Depths of 1, 2, 4 and 8 bits per pixel are read alike.
//
// A 72-wide bitmap of another height makes Operator current and changes no
// pixel, silently (KindChangedOnly); any other size, or more than 8 bits per
// pixel, fails with "Unsupported bitmap format", and a file the reader refuses
// with the reader's text.
ImportResult readBitmapLogo(FileSystem& files, const std::string& path);

// True when the file is a bitmap the import fills a canvas from (at most 8
// bits per pixel, stored bottom-up, of one of the three canvas sizes); any
// other bitmap is an ordinary picture. Shows no message.
bool isLogoBitmap(FileSystem& files, const std::string& path);

}  // namespace pelorin
