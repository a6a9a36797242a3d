#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/logo_kind.h"
#include "editor/geometry.h"
#include "editor/selection.h"

namespace pelorin {

// Cell values packed one bit each (set or unset), in the order they are
// stored; room for the largest canvas and for the selection's buffers. Kept
// as whole words so that packing, comparing and restoring go 64 cells at a
// time (every edit packs the three canvases twice and the title compares one).
struct CellBits {
    static constexpr std::size_t kWordBits = 64;
    static constexpr std::size_t kWords = (Selection::kBufferCells + kWordBits - 1) / kWordBits;
    std::array<std::uint64_t, kWords> words{};

    bool test(std::size_t i) const { return ((words[i / kWordBits] >> (i % kWordBits)) & 1U) != 0; }
    bool any() const {
        for (std::uint64_t word : words)
            if (word != 0) return true;
        return false;
    }
    friend bool operator==(const CellBits&, const CellBits&) = default;
};
CellBits packCells(std::span<const std::int32_t> values);
void unpackCells(const CellBits& bits, std::span<std::int32_t> values);

// Everything an undo step brings back: the kind shown, the three canvases and
// the selection with its two buffers. About 1.4 KB.
struct EditSnapshot {
    LogoKind kind = LogoKind::Operator;
    std::array<CellBits, 3> canvases;  // Operator, Picture, LargeOperator
    Rect selection;
    CellBits background;
    CellBits floating;
    bool transparent = false;

    static EditSnapshot capture(const CPelorinDoc& document, LogoKind shown, const Selection& current);
    // Writes the canvases and the selection back; returns the kind to show.
    LogoKind restore(CPelorinDoc& document, Selection& target) const;

    friend bool operator==(const EditSnapshot&, const EditSnapshot&) = default;
};

// One user action, as the state before and after it.
struct EditStep {
    std::string label;
    EditSnapshot before;
    EditSnapshot after;
};

// The undo and redo steps. A new step clears the redo steps; beyond the limit
// the oldest step goes.
class EditHistory {
public:
    static constexpr std::size_t kDefaultLimit = 200;

    explicit EditHistory(std::size_t limit = kDefaultLimit) : limit_(limit == 0 ? 1 : limit) {}

    void push(EditStep step);
    // The step to take back (now the next redo step), or nullptr.
    const EditStep* undo();
    // The step to take again (now the last undo step), or nullptr.
    const EditStep* redo();
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    std::size_t undoCount() const { return undo_.size(); }
    std::size_t redoCount() const { return redo_.size(); }
    std::size_t limit() const { return limit_; }
    void clear();
    // The memory the kept steps take, their labels' text included.
    std::size_t memoryBytes() const;

private:
    std::size_t limit_;
    std::deque<EditStep> undo_;
    std::vector<EditStep> redo_;
};

}  // namespace pelorin
