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

// What an import did, for callers that want to know (the command line); the
// editor needs none of it, as every failure has been shown already.
enum class ImportOutcome {
    Imported,         // a canvas was filled and its kind made current
    KindChangedOnly,  // the current kind was set, no pixel changed, no message
    Failed,           // a message was shown; canvases and kind are unchanged
    Ignored,          // a path without an extension: nothing happened
};

}  // namespace pelorin
