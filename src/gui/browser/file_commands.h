#pragma once

#include <functional>
#include <optional>
#include <string>

#include "document/document_context.h"
#include "document/import_result.h"

class QWidget;

namespace pelorin {

// File, Open: runs the open-file dialog over parent on documentsFolder and
// reads the file the user taps, changing nothing: the caller shows the
// result's error and has the editor apply it. A cancelled dialog gives no
// result. A picture (not a logo file) chosen goes to openPicture instead,
// which runs the import dialog over it; that gives no result either.
// The dialog starts in startFolder (a subfolder of documentsFolder, the
// folder last chosen) when given; the path opened goes to openedPath and the
// folder listed last to chosenFolder.
std::optional<ImportResult> openFileCommand(QWidget* parent, DocumentContext& context,
                                            const std::string& documentsFolder,
                                            const std::function<void(const std::string&)>& openPicture = {},
                                            const std::string& startFolder = {}, std::string* openedPath = nullptr,
                                            std::string* chosenFolder = nullptr);

// File, Save: asks for a path with the standard save-file dialog ("Pelorin(*.plr)",
// confirming before it overwrites a file), starting in startFolder, and writes
// the current canvas to exactly that path. A cancelled dialog writes nothing.
// The name field starts with proposedName. The path written, or none.
std::optional<std::string> saveFileCommand(QWidget* parent, DocumentContext& context, const std::string& startFolder,
                                           const std::string& proposedName = {});

}  // namespace pelorin
