#include "editor/edit_history.h"

#include <algorithm>
#include <cstring>

namespace pelorin {

namespace {
constexpr std::array<LogoKind, 3> kKinds = {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator};
}  // namespace

// Eight cells at a time: their "is set" bytes put in one word, and a
// multiplication that gathers the low bit of each byte into the top byte.
// This keeps the loop free of branches, so it costs the same for any picture.
CellBits packCells(std::span<const std::int32_t> values) {
    CellBits bits;
    const std::size_t count = std::min(values.size(), static_cast<std::size_t>(Selection::kBufferCells));
    std::size_t i = 0;
    for (; i + CellBits::kWordBits <= count; i += CellBits::kWordBits) {
        std::array<unsigned char, CellBits::kWordBits> set{};
        for (std::size_t j = 0; j < set.size(); ++j) set[j] = values[i + j] != 0 ? 1 : 0;
        std::uint64_t word = 0;
        for (std::size_t k = 0; k < set.size(); k += 8) {
            std::uint64_t eight = 0;
            for (std::size_t j = 0; j < 8; ++j) eight |= std::uint64_t{set[k + j]} << (8 * j);
            word |= ((eight * 0x0102040810204080ULL) >> 56) << k;
        }
        bits.words[i / CellBits::kWordBits] = word;
    }
    for (; i < count; ++i)
        if (values[i] != 0) bits.words[i / CellBits::kWordBits] |= std::uint64_t{1} << (i % CellBits::kWordBits);
    return bits;
}

namespace {
// The eight cell values of each byte of packed bits, lowest bit first.
constexpr auto kByteCells = [] {
    std::array<std::array<std::int32_t, 8>, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte)
        for (std::size_t bit = 0; bit < 8; ++bit) table[byte][bit] = static_cast<std::int32_t>((byte >> bit) & 1U);
    return table;
}();
}  // namespace

void unpackCells(const CellBits& bits, std::span<std::int32_t> values) {
    const std::size_t count = std::min(values.size(), static_cast<std::size_t>(Selection::kBufferCells));
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const std::uint64_t byte = (bits.words[i / CellBits::kWordBits] >> (i % CellBits::kWordBits)) & 0xFFU;
        std::memcpy(values.data() + i, kByteCells[byte].data(), sizeof kByteCells[byte]);
    }
    for (; i < count; ++i) values[i] = bits.test(i) ? 1 : 0;
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
