#pragma once

// A view and a message box that record what the document commands do to them,
// and a document context over files held in memory.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/document_context.h"
#include "document/import_file.h"
#include "document/memory_file_system.h"

namespace pelorin::testing {

class RecordingView : public DocumentView {
public:
    LogoKind kind = LogoKind::Operator;
    int updates = 0;
    std::vector<LogoKind> kindsSet;

    LogoKind currentKind() const override { return kind; }
    void setKind(LogoKind k) {
        kind = k;
        kindsSet.push_back(k);
    }
    void updateAllViews() override { ++updates; }
};

class RecordingMessages : public UserMessages {
public:
    std::vector<std::string> shown;
    void showMessage(const std::string& text) override { shown.push_back(text); }
};

struct MemoryDocument {
    CPelorinDoc document;
    RecordingView view;
    RecordingMessages messages;
    MemoryFileSystem files;
    DocumentContext context{document, view, messages, files};

    // Puts a recognisable drawing on every canvas, so tests can tell which
    // ones an operation touched.
    void scribble() {
        for (LogoKind k : {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator}) {
            Canvas& c = document.canvas(k);
            for (int x = 0; x < c.width(); ++x)
                for (int y = 0; y < c.height(); ++y) c.set(x, y, (x * 7 + y * 3 + static_cast<int>(k)) % 5 == 0);
        }
    }
};

// A document with drawings on every canvas and Picture current, with a copy
// of it as it was, so that any change an import makes shows.
struct ImportCase : MemoryDocument {
    CPelorinDoc before;
    ImportCase() {
        scribble();
        before = document;
        view.kind = LogoKind::Picture;
    }
    void expectCanvasesUnchanged(std::initializer_list<LogoKind> kinds) const {
        for (LogoKind k : kinds) EXPECT_EQ(document.canvas(k), before.canvas(k)) << "kind " << static_cast<int>(k);
    }
};

// Opens a file the way the editor does with what readLogoFile gives, over a
// context whose view is a RecordingView: the error shown, the canvas put in
// place, the kind made current and the views updated.
inline ImportOutcome importFile(DocumentContext& context, const std::string& path) {
    auto& view = dynamic_cast<RecordingView&>(context.view);
    const ImportResult read = readLogoFile(context.files, path);
    if (read.failed()) context.messages.showMessage(read.error);
    if (read.outcome == ImportOutcome::Imported || read.outcome == ImportOutcome::KindChangedOnly) {
        read.applyTo(context.document);
        view.setKind(read.kind);
        view.updateAllViews();
    }
    return read.outcome;
}

}  // namespace pelorin::testing
