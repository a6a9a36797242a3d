#pragma once

#include <optional>
#include <string>

#include "document/document_context.h"

namespace pelorin {

// The lower-cased text after the last "." of the whole path, or nothing when
// the path holds no dot.
std::optional<std::string> importExtension(const std::string& path);

// File, Open: imports any supported file by its extension. "bmp" is a Windows
// bitmap, "ngg" and "nol" character phone logos, "nlm" a packed phone logo,
// and every other extension a document file. A path without a dot is ignored
// silently. Failures are shown through the context's messages.
ImportOutcome importFile(DocumentContext& context, const std::string& path);

}  // namespace pelorin
