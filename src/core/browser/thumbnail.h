#pragma once

#include <optional>
#include <string>

#include "document/file_system.h"
#include "formats/bitmap_reader.h"

namespace pelorin {

// A thumbnail is the file's logo at 1:1 as RGB pixels: set pixels black, clear
// ones light grey; a bitmap keeps its own colour for index 0.
using Thumbnail = BitmapImage;

// Reads the file anew and gives its thumbnail, by the lower-cased extension
// (bmp, nlm, ngg, nol, plr, wbmp, otb), or nothing when the file cannot be read or its
// bytes hold no complete logo. It never shows a message: it is called while
// a window paints, where a message box would uncover the window, make it
// paint again and raise the box again without end.
std::optional<Thumbnail> readThumbnail(FileSystem& files, const std::string& path);

}  // namespace pelorin
