#pragma once

#include <optional>
#include <string>

#include "document/file_system.h"
#include "document/import_result.h"

namespace pelorin {

// The lower-cased text after the last "." of the whole path, or nothing when
// the path holds no dot.
std::optional<std::string> importExtension(const std::string& path);

// File, Open: reads any supported file by its extension. "bmp" is a Windows
// bitmap, "ngg" and "nol" character phone logos, "nlm" a packed phone logo, "wbmp" and "otb" one-bit pictures,
// and every other extension a document file. A path without a dot is
// Ignored. Nothing is changed or shown: the caller applies the result
// (CanvasEditor::applyImport in the editor) and shows its error.
ImportResult readLogoFile(FileSystem& files, const std::string& path);

}  // namespace pelorin
