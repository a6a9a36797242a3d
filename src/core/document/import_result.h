#pragma once

#include <optional>
#include <string>

#include "document/canvas.h"
#include "document/document.h"
#include "document/logo_kind.h"

namespace pelorin {

// What reading a logo file came to.
enum class ImportOutcome {
    Imported,         // a canvas was read; its kind is to be made current
    KindChangedOnly,  // a kind is to be made current, no pixel changes, no message
    Failed,           // the file could not be read: error says why
    Ignored,          // a path without an extension: nothing to do
};

// A logo file as read, before anything in the document or the view changes:
// the kind and the canvas, or the text to show the user. The readers return
// it; the editor (or a program without one) applies it.
struct ImportResult {
    ImportOutcome outcome = ImportOutcome::Ignored;
    LogoKind kind = LogoKind::Operator;  // for Imported and KindChangedOnly
    std::optional<Canvas> canvas;        // for Imported, of the kind's size
    std::string error;                   // for Failed
    bool errorNamesPath = false;         // whether error names the file already

    static ImportResult imported(LogoKind kind, Canvas canvas);
    static ImportResult kindOnly(LogoKind kind);
    static ImportResult failure(std::string error, bool namesPath);
    // "Failed to open file PATH for reading."
    static ImportResult unreadable(const std::string& path);
    static ImportResult ignored() { return {}; }

    bool failed() const { return outcome == ImportOutcome::Failed; }
    // The error as one line that says which file: led by the path unless the
    // text names it already.
    std::string errorLine(const std::string& path) const;
    // Puts the canvas read in place of the document's canvas of its kind; any
    // other outcome leaves the document alone.
    void applyTo(CPelorinDoc& document) const;
};

}  // namespace pelorin
