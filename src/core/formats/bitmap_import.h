#pragma once

#include <string>

#include "document/document_context.h"
#include "formats/bitmap_reader.h"

namespace pelorin {

// Imports a Windows bitmap of 72 x 14, 72 x 28 or 78 x 21 pixels into the
// canvas of that size and makes its kind current. Colour-table index 0 is a
// set pixel and every other index a clear one; the colours are not looked at.
// Depths of 1, 2, 4 and 8 bits per pixel are read alike.
//
// A 72-wide bitmap of another height makes Operator current and changes no
// pixel, silently; any other size, or more than 8 bits per pixel, shows
// "Unsupported bitmap format".
ImportOutcome importBitmap(DocumentContext& context, const std::string& path);

// True when the file is a bitmap the import fills a canvas from (at most 8
// bits per pixel, stored bottom-up, of one of the three canvas sizes); any
// other bitmap is an ordinary picture. Shows no message.
bool isLogoBitmap(FileSystem& files, const std::string& path);

// The same, from a reader that has loaded the file.
ImportOutcome importLoadedBitmap(DocumentContext& context, const BitmapReader& reader);

}  // namespace pelorin
