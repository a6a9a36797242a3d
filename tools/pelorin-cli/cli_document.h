#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/document_context.h"
#include "document/posix_file_system.h"

namespace pelorin::cli {

// Keeps the messages the document commands would show, for standard error.
class CollectedMessages : public UserMessages {
public:
    std::vector<std::string> texts;
    void showMessage(const std::string& text) override { texts.push_back(text); }
    // All texts on one line, led by the path unless they name it already.
    std::string joinedFor(const std::string& path) const;
};

// A document with its command-line view, messages and the real disk.
struct CliDocument {
    CliDocument() = default;
    CliDocument(const CliDocument&) = delete;  // the context refers to the members
    CliDocument& operator=(const CliDocument&) = delete;

    std::unique_ptr<CPelorinDoc> document = std::make_unique<CPelorinDoc>();
    DetachedView view;
    CollectedMessages messages;
    PosixFileSystem files;
    DocumentContext context{*document, view, messages, files};
};

// Imports any file the editor can open. Returns true when a canvas was
// filled (its kind is then view.currentKind()); otherwise sets error to one line.
bool importForCli(CliDocument& cli, const std::string& path, std::string& error);

// "operator", "picture" or "large-operator".
const char* logoKindName(LogoKind kind);

}  // namespace pelorin::cli
