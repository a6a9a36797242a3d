#pragma once

// A document over files held in memory, with a view that only keeps the
// current kind and a message box that shows nothing: the fuzz targets feed
// bytes to the file commands without touching the disk.

#include <string>

#include "document/document.h"
#include "document/document_context.h"
#include "document/memory_file_system.h"

namespace pelorin::fuzz {

class KindOnlyView : public DocumentView {
public:
    LogoKind kind = LogoKind::Picture;
    LogoKind currentKind() const override { return kind; }
    void setCurrentKind(LogoKind k) override { kind = k; }
    void updateAllViews() override {}
};

class SilentMessages : public UserMessages {
public:
    void showMessage(const std::string&) override {}
};

struct FuzzDocument {
    MemoryFileSystem files;
    CPelorinDoc document;
    KindOnlyView view;
    SilentMessages messages;
    DocumentContext context{document, view, messages, files};
};

}  // namespace pelorin::fuzz
