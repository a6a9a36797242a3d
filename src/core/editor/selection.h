#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "document/canvas.h"
#include "editor/geometry.h"
#include "editor/transforms.h"

namespace pelorin {

// The selection: a rectangle of cells and its two buffers. `background` is the
// whole canvas without the selection's content, `floating` the content itself,
// so that a drag can rebuild the canvas from the two at any place. A plain
// value: a history step copies it whole.
class Selection {
public:
    static constexpr int kBufferStride = 28;                 // rows of the tallest canvas
    static constexpr int kBufferCells = 78 * kBufferStride;  // 2184: widest x tallest
    using Buffer = std::array<std::int32_t, kBufferCells>;

    const Rect& rect() const { return rect_; }
    bool isEmpty() const { return rect_.isEmpty(); }
    bool contains(Point cell) const { return rect_.contains(cell); }
    const Buffer& background() const { return background_; }
    const Buffer& floating() const { return floating_; }

    // Only the rectangle changes; the buffers keep what they hold.
    void setRect(const Rect& rect) { rect_ = rect; }
    void hide() { rect_ = {}; }

    // Takes the selected cells into `floating` and the canvas without them into
    // `background`; the canvas ends as it was. Cells beyond the canvas float
    // as unset.
    void lift(Canvas& canvas);
    // `background` = the whole canvas as it is now (selection included).
    void takeBackground(const Canvas& canvas);
    // Writes `floating` into the selection's cells of the canvas: all of them
    // (opaque), or for a transparent block only its set cells, the others
    // showing `background`; cells beyond the canvas are skipped.
    void stamp(Canvas& canvas) const;
    // Rebuilds the whole canvas from `background`.
    void restoreBackground(Canvas& canvas) const;
    // The move by (dx, dy) cut so that the rectangle stays on a canvas of
    // that size (left first, then right; top first, then bottom).
    Point limitMove(int dx, int dy, CanvasSize size) const;
    // Moves the rectangle by (dx, dy) over the canvas: the canvas is rebuilt
    // from `background` with the content stamped at the new place.
    void moveBy(Canvas& canvas, int dx, int dy);
    // The selection's content goes: `floating` all unset, the selected cells
    // of the canvas cleared, the rectangle hidden. `background` stays.
    void deleteContent(Canvas& canvas);
    // A cell of the canvas was set to value while this selection is lifted:
    // the buffer that the next drag rebuilds that cell from takes it too.
    void recordCell(const Canvas& canvas, Point cell, std::int32_t value);
    // Makes `block` the lifted content at `at` (its top-left cell) over the
    // canvas as it is now: `background` = the canvas, the rectangle = the
    // block's size cut to the canvas's, the content stamped.
    // A transparent block lets only its set cells land.
    void place(Canvas& canvas, const Canvas& block, Point at, bool transparent = false);
    bool transparent() const { return transparent_; }

    // Transforms the lifted content within its rectangle and stamps it; the
    // background stays.
    void transformContent(Canvas& canvas, Transform transform);

    // The position in `floating` of a selection cell, when the buffer has room
    // for it (a wrong index must never reach the buffer).
    std::optional<std::size_t> floatingIndex(int x, int y) const;

    friend bool operator==(const Selection&, const Selection&) = default;

private:
    friend struct EditSnapshot;  // writes back what it captured
    Rect rect_{0, 0, 0, 0};
    Buffer background_{};
    Buffer floating_{};
    bool transparent_ = false;
};

}  // namespace pelorin
