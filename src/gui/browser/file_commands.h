#pragma once

#include <optional>
#include <string>

#include "document/document_context.h"

class QWidget;

namespace pelorin {

// File, Open: runs the open-file dialog over parent on documentsFolder and
// imports the file the user taps; then the views are asked to update, which
// redraws the canvas window at once, so the new picture shows without waiting
// for another paint. A cancelled dialog changes nothing and gives no outcome.
std::optional<ImportOutcome> openFileCommand(QWidget* parent, DocumentContext& context,
                                             const std::string& documentsFolder);

// File, Save: asks for a path with the standard save-file dialog ("Pelorin(*.plr)",
// confirming before it overwrites a file), starting in startFolder, and writes
// the current canvas to exactly that path. A cancelled dialog writes nothing.
// True when the canvas was written.
bool saveFileCommand(QWidget* parent, DocumentContext& context, const std::string& startFolder);

}  // namespace pelorin
