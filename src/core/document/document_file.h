#pragma once

#include <optional>
#include <span>
#include <string>

#include "document/document_context.h"
#include "document/import_result.h"

namespace pelorin {

// The document file: the packed form of one canvas and nothing else. Its
// length tells the canvas: 126 bytes operator logo, 252 picture, 205 large
// operator logo.
std::optional<LogoKind> documentKindForLength(std::uint64_t length);

// Reads a document file: the canvas its length names, of that kind. Another
// length fails with "Unsupported file format"; a file that cannot be opened or
// read with "Failed to open file %s for reading.".
ImportResult readDocumentFile(FileSystem& files, const std::string& path);

// Writes the current canvas to path (exactly that path, no extension added)
// through a temporary file, so a failed save keeps an earlier file intact.
// A failure shows "Failed to open file %s for writing.".
bool saveDocumentFile(DocumentContext& context, const std::string& path);

// File, New: clears the canvas of the current kind only.
void clearCurrentCanvas(CPelorinDoc& document, DocumentView& view);

}  // namespace pelorin
