#pragma once

// A document over files held in memory, with a detached view and a message
// box that shows nothing: the fuzz targets feed bytes to the file commands
// without touching the disk.

#include <string>

#include "document/document.h"
#include "document/document_context.h"
#include "document/memory_file_system.h"

namespace pelorin::fuzz {

class SilentMessages : public UserMessages {
public:
    void showMessage(const std::string&) override {}
};

struct FuzzDocument {
    MemoryFileSystem files;
    CPelorinDoc document;
    DetachedView view{LogoKind::Picture};
    SilentMessages messages;
    DocumentContext context{document, view, messages, files};
};

}  // namespace pelorin::fuzz
