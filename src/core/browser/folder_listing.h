#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/file_system.h"
#include "document/user_messages.h"

namespace pelorin {

// The "Logo type" choice of the open-file dialog; the numbers are the
// positions of the items in its list.
enum class FileFilter : int { AllSupported = 0, Plr = 1, Bmp = 2, Nlm = 3, Ngg = 4, Nol = 5, Wbmp = 6, Otb = 7 };

inline constexpr std::array<std::string_view, 8> kFileFilterItems = {"All supported", "*.plr", "*.bmp",  "*.nlm",
                                                                     "*.ngg",         "*.nol", "*.wbmp", "*.otb"};

// The filter at a list position; All supported for a position outside the list.
FileFilter fileFilterAt(int position);

struct FolderListing {
    // Full paths (folder + "/" + name) of the files that can be imported.
    std::vector<std::string> files;
    // Names of the folders inside the listed one.
    std::vector<std::string> folders;
};

// Lists a folder for the open-file dialog: only files that the import can
// read are offered, in name order ignoring case. A file is offered when the
// first rule that matches its filter and its lower-cased extension passes:
//   bmp  the bitmap loads, holds 8 bits per pixel and is 72 x 14, 72 x 28 or
//        78 x 21 pixels (a bitmap that does not load shows its message,
//        with the file's path on a second line when the text lacks it);
//   plr  the file is 126, 205 or 252 bytes long;
//   ngg, nol  the whole header can be read and names 72 x 14;
//   nlm  header and pixels can be read and the header names 72 x 14;
//   wbmp, otb  the header and all pixels can be read (any size up to
//        4096 x 4096; other sizes than the canvases are fitted on import).
// A folder that cannot be read lists nothing.
//
// With pictures, "All supported" also offers pictures by their extension:
// png, jpg, jpeg, gif, and a bmp that is a Windows bitmap ("BM") but not a
// logo bitmap, offered silently. A bmp that is neither still shows the
// bitmap reader's message.
FolderListing listFolderFiles(FileSystem& files, UserMessages& messages, const std::string& folder, FileFilter filter,
                              bool withPictures = false);

// The extensions of pictures the file browser offers besides logo files
// (bitmaps aside).
bool isBrowsedPictureExtension(std::string_view extension);

// Name order ignoring the case of ASCII letters; names that differ only in
// case keep a fixed order among themselves.
bool lessIgnoringCase(const std::string& a, const std::string& b);

// The text after the last "/" of a path.
std::string fileNameOf(const std::string& path);

}  // namespace pelorin
