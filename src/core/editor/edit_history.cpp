#include "editor/edit_history.h"

#include <algorithm>

namespace pelorin {

namespace {
constexpr std::array<LogoKind, 3> kKinds = {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator};
}  // namespace

CellBits packCells(std::span<const std::int32_t> values) {
    CellBits bits;
    const std::size_t count = std::min(values.size(), bits.size());
    for (std::size_t i = 0; i < count; ++i)
        if (values[i] != 0) bits.set(i);
    return bits;
}

void unpackCells(const CellBits& bits, std::span<std::int32_t> values) {
    const std::size_t count = std::min(values.size(), bits.size());
    for (std::size_t i = 0; i < count; ++i) values[i] = bits.test(i) ? 1 : 0;
}

EditSnapshot EditSnapshot::capture(const CPelorinDoc& document, LogoKind shown, const Selection& current) {
    EditSnapshot snapshot;
    snapshot.kind = shown;
    for (std::size_t i = 0; i < kKinds.size(); ++i)
        snapshot.canvases[i] = packCells(document.canvas(kKinds[i]).values());
    snapshot.selection = current.rect();
    snapshot.background = packCells(current.background());
    snapshot.floating = packCells(current.floating());
    snapshot.transparent = current.transparent();
    return snapshot;
}

LogoKind EditSnapshot::restore(CPelorinDoc& document, Selection& target) const {
    for (std::size_t i = 0; i < kKinds.size(); ++i) unpackCells(canvases[i], document.canvas(kKinds[i]).values());
    target.rect_ = selection;
    unpackCells(background, target.background_);
    unpackCells(floating, target.floating_);
    target.transparent_ = transparent;
    return kind;
}

void EditHistory::push(EditStep step) {
    redo_.clear();
    undo_.push_back(std::move(step));
    while (undo_.size() > limit_) undo_.pop_front();
}

const EditStep* EditHistory::undo() {
    if (undo_.empty()) return nullptr;
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
    return &redo_.back();
}

const EditStep* EditHistory::redo() {
    if (redo_.empty()) return nullptr;
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    return &undo_.back();
}

void EditHistory::clear() {
    undo_.clear();
    redo_.clear();
}

std::size_t EditHistory::memoryBytes() const {
    std::size_t bytes = 0;
    const auto add =
        [&bytes](const EditStep& step) {  // Labels short enough to sit inside the string take no memory of their own.
            bytes += sizeof(EditStep) + (step.label.capacity() >= sizeof(std::string) ? step.label.capacity() + 1 : 0);
        };
    std::for_each(undo_.begin(), undo_.end(), add);
    std::for_each(redo_.begin(), redo_.end(), add);
    return bytes;
}

}  // namespace pelorin
