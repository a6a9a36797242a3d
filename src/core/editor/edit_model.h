#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "document/logo_kind.h"
#include "editor/edit_history.h"
#include "editor/selection.h"
#include "editor/viewport.h"

namespace pelorin {

// One labelled step in the making. It takes the state before when it begins;
// commit records the step if what a user sees changed, rollback hands the
// state before back to be restored, and a transaction dropped without either
// records nothing and keeps the change.
class EditTransaction {
public:
    EditTransaction(std::string_view label, EditSnapshot before) : label_(label), before_(std::move(before)) {}

    const std::string& label() const { return label_; }
    const EditSnapshot& before() const { return before_; }

    // Pushes the step when the kind, a picture or the selection's place
    // differs from the start (the buffers alone change unseen: drawing a
    // selection refills them). True when a step was recorded.
    bool commit(EditHistory& history, EditSnapshot after) &&;
    EditSnapshot rollback() && { return std::move(before_); }

private:
    std::string label_;
    EditSnapshot before_;
};

// What editing changes and remembers: the document's canvases, the selection,
// the undo history, the step in progress and the drawings last opened or
// saved. The canvas being edited is the one the viewport shows.
class EditModel {
public:
    EditModel(CPelorinDoc& document, const Viewport& view);

    CPelorinDoc& document() { return document_; }
    const CPelorinDoc& document() const { return document_; }
    Canvas& canvas() { return document_.canvas(view_.kind()); }
    const Canvas& canvas() const { return document_.canvas(view_.kind()); }
    Selection& selection() { return selection_; }
    const Selection& selection() const { return selection_; }
    const EditHistory& history() const { return history_; }
    EditSnapshot snapshot() const { return EditSnapshot::capture(document_, view_.kind(), selection_); }

    // The step in progress: a begin while one is open commits that one first.
    void begin(std::string_view label);
    bool commit();
    void cancel() { open_.reset(); }
    bool editing() const { return open_.has_value(); }
    // Takes the step in progress back into the document and the selection;
    // the kind it began on, or nothing when no step is open.
    std::optional<LogoKind> rollback();
    // The last step taken back, or the last undone one taken again: the kind
    // to show, or nothing when there is none.
    std::optional<LogoKind> undo();
    std::optional<LogoKind> redo();

    // The canvas of a kind as it is now was opened or saved.
    void markSaved(LogoKind kind);
    // The kinds whose canvas holds a drawing that differs from the one last
    // opened or saved (a blank canvas holds nothing to lose).
    std::vector<LogoKind> unsavedKinds() const;
    bool differsFromSaved(LogoKind kind) const;

private:
    CPelorinDoc& document_;
    const Viewport& view_;
    Selection selection_;
    EditHistory history_;
    std::optional<EditTransaction> open_;
    std::array<CellBits, 3> saved_{};
};

}  // namespace pelorin
