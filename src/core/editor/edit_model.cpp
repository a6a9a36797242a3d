#include "editor/edit_model.h"

namespace pelorin {

namespace {

constexpr std::array<LogoKind, 3> kKinds = {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator};

std::size_t kindIndex(LogoKind kind) { return static_cast<std::size_t>(kind) - 1; }

}  // namespace

bool EditTransaction::commit(EditHistory& history, EditSnapshot after) && {
    const bool changed =
        before_.kind != after.kind || before_.canvases != after.canvases || before_.selection != after.selection;
    if (!changed) return false;
    history.push({std::move(label_), std::move(before_), std::move(after)});
    return true;
}

EditModel::EditModel(CPelorinDoc& document, const Viewport& view) : document_(document), view_(view) {
    for (LogoKind kind : kKinds) markSaved(kind);
}

void EditModel::begin(std::string_view label) {
    if (open_) commit();
    open_.emplace(label, snapshot());
}

bool EditModel::commit() {
    if (!open_) return false;
    EditTransaction step = std::move(*open_);
    open_.reset();
    return std::move(step).commit(history_, snapshot());
}

std::optional<LogoKind> EditModel::rollback() {
    if (!open_) return std::nullopt;
    const EditSnapshot before = std::move(*open_).rollback();
    open_.reset();
    return before.restore(document_, selection_);
}

std::optional<LogoKind> EditModel::undo() {
    const EditStep* step = history_.undo();
    if (!step) return std::nullopt;
    return step->before.restore(document_, selection_);
}

std::optional<LogoKind> EditModel::redo() {
    const EditStep* step = history_.redo();
    if (!step) return std::nullopt;
    return step->after.restore(document_, selection_);
}

void EditModel::markSaved(LogoKind kind) { saved_[kindIndex(kind)] = packCells(document_.canvas(kind).values()); }

bool EditModel::differsFromSaved(LogoKind kind) const {
    return packCells(document_.canvas(kind).values()) != saved_[kindIndex(kind)];
}

std::vector<LogoKind> EditModel::unsavedKinds() const {
    std::vector<LogoKind> kinds;
    for (LogoKind kind : kKinds) {
        const CellBits now = packCells(document_.canvas(kind).values());
        if (now.any() && now != saved_[kindIndex(kind)]) kinds.push_back(kind);
    }
    return kinds;
}

}  // namespace pelorin
