#pragma once

#include <array>
#include <cstdint>

#include "document/document.h"
#include "document/logo_kind.h"
#include "editor/drawing_surface.h"
#include "editor/geometry.h"
#include "editor/tool_palette.h"

namespace pelorin {

// Receives the fills of a paint: one square a cell, in client coordinates.
class CellPainter {
public:
    virtual ~CellPainter() = default;
    virtual void fill(const Rect& clientRect, Rgb colour) = 0;
};

// Receives the view's paint of the preview: the frame outline, then each
// preview pixel that meets the repainted area, column by column.
class PreviewPainter {
public:
    virtual ~PreviewPainter() = default;
    virtual void frame(const Rect& outline) = 0;
    virtual void pixel(Point viewPoint, Rgb colour) = 0;
};

// The editing logic behind the canvas window: which canvas is shown, at what
// zoom and pan, the selection with its two cell buffers, and what every
// stylus event, menu command and zoom step does to the canvas and the screen.
// It draws only through the DrawingSurface.
class CanvasEditor {
public:
    static constexpr int kBufferStride = 28;                 // rows of the tallest canvas
    static constexpr int kBufferCells = 78 * kBufferStride;  // 2184: widest x tallest
    static constexpr int kMinCellSize = 4;
    static constexpr int kMaxCellSize = 15;

    CanvasEditor(CPelorinDoc& document, DrawingSurface& surface);

    // --- state (read by the widgets and the tests) ---
    LogoKind kind() const { return kind_; }
    int cellSize() const { return cellSize_; }
    Point origin() const { return origin_; }
    const Rect& selection() const { return selection_; }
    bool tracking() const { return tracking_; }
    Point lastPoint() const { return lastPoint_; }
    bool draggingSelection() const { return draggingSelection_; }
    const std::array<std::int32_t, kBufferCells>& background() const { return background_; }
    const std::array<std::int32_t, kBufferCells>& floating() const { return floating_; }
    CanvasSize size() const { return sizeOf(kind_); }

    // Changes of state that are not editing steps (tests, and the document's
    // commands, which set only the kind).
    void setKindOnly(LogoKind kind) { kind_ = kind; }
    void setOrigin(Point origin) { origin_ = origin; }
    void setCellSize(int cellSize) { cellSize_ = cellSize; }
    void setSelection(const Rect& selection) { selection_ = selection; }

    // --- geometry ---
    Point cellAt(Point clientPoint) const;
    Rect cellRect(const Rect& cells) const;
    // The colour of a cell as the paint shows it (selection colours inside the selection).
    Rgb cellColour(int x, int y) const;

    // --- painting ---
    // Fills every cell of the current canvas that meets the area (client
    // coordinates); the erase that precedes it has made the area white.
    void paint(const Rect& area, CellPainter& painter) const;
    // The view's own paint: the preview frame and the preview pixels in area.
    void paintPreview(const Rect& area, PreviewPainter& painter) const;

    // --- stylus events (client coordinates), dispatched by tool ---
    void stylusDown(Point point, Tool tool);
    void stylusMove(Point point, Tool tool);
    void stylusUp(Point point, Tool tool);
    // A double-tap is handled exactly like a stylus-down.
    void doubleTap(Point point, Tool tool) { stylusDown(point, tool); }

    // --- the tools' operations ---
    void paintCell(Point point, std::int32_t value);
    void pan(Point point);
    void selectionDown(Point point);
    void extendSelection(Point point);
    void liftSelection();
    void dragSelection(Point point);

    // --- menu commands ---
    void hideSelection();
    void copySelection();
    void deleteSelection();
    // View menu: a new kind from the top-left corner, no selection.
    void setCanvasKind(LogoKind kind);
    // Zoom buttons: one step, the origin scaled in single precision.
    void zoomIn();
    void zoomOut();

    // A document command or import changed a canvas or the kind: the selection
    // and its buffers belong to the picture that was there, so it is dropped
    // (no repaint; the caller redraws what it changed).
    void dropSelection();

    // Redraws the whole canvas window at once.
    void redrawAll();

private:
    // Rebuilds the canvas from `background`, and writes `floating` into the
    // selection's cells; cells beyond the canvas are skipped.
    void restoreBackground();
    void stampFloating();

    Canvas& canvas() { return document_.canvas(kind_); }
    const Canvas& canvas() const { return document_.canvas(kind_); }

    CPelorinDoc& document_;
    DrawingSurface& surface_;

    LogoKind kind_ = LogoKind::Operator;
    int cellSize_ = 10;
    Point origin_{0, 0};
    bool tracking_ = false;
    Point lastPoint_{0, 0};
    Rect selection_{0, 0, 0, 0};
    bool draggingSelection_ = false;
    std::array<std::int32_t, kBufferCells> background_{};
    std::array<std::int32_t, kBufferCells> floating_{};
};

}  // namespace pelorin
