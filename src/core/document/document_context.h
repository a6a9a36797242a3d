#pragma once

#include "document/document.h"
#include "document/document_view.h"
#include "document/file_system.h"
#include "document/user_messages.h"

namespace pelorin {

// Everything a document command works with: the canvases, the view that holds
// the current kind, the user's message box and the files.
struct DocumentContext {
    CPelorinDoc& document;
    DocumentView& view;
    UserMessages& messages;
    FileSystem& files;
};

}  // namespace pelorin
