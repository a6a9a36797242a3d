#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "document/logo_kind.h"
#include "editor/drawing_surface.h"
#include "editor/edit_history.h"
#include "editor/geometry.h"
#include "editor/selection.h"
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

// What comes with a stylus event besides its point: the right mouse button
// (pen, line, rectangle and fill clear instead of set) and Shift (lines kept
// to 0, 45 or 90 degrees, rectangles square).
struct StylusInput {
    bool clear = false;
    bool constrain = false;
};

// The editing logic behind the canvas window: which canvas is shown, at what
// zoom and pan in a client of what size, the selection, the gesture in
// progress, the undo history, and what every stylus event, command and zoom
// step does to the canvas and the screen. It draws only through the
// DrawingSurface.
class CanvasEditor {
public:
    static constexpr int kBufferStride = Selection::kBufferStride;
    static constexpr int kBufferCells = Selection::kBufferCells;
    static constexpr int kMinCellSize = 4;
    static constexpr int kMaxCellSize = 15;
    // Past the buttons' largest step, zoom goes on while the whole canvas
    // still fits the room for the canvas window, up to this size.
    static constexpr int kMaxFitCellSize = 40;
    static constexpr int kDefaultCellSize = 10;

    CanvasEditor(CPelorinDoc& document, DrawingSurface& surface);

    // --- state (read by the widgets and the tests) ---
    LogoKind kind() const { return kind_; }
    int cellSize() const { return cellSize_; }
    Point origin() const { return origin_; }
    const Rect& selection() const { return selection_.rect(); }
    const Selection& selectionState() const { return selection_; }
    bool tracking() const { return tracking_; }
    Point lastPoint() const { return lastPoint_; }
    bool draggingSelection() const { return draggingSelection_; }
    const Selection::Buffer& background() const { return selection_.background(); }
    const Selection::Buffer& floating() const { return selection_.floating(); }
    CanvasSize size() const { return sizeOf(kind_); }
    Size clientSize() const { return clientSize_; }
    Rect clientRect() const { return {0, 0, clientSize_.width, clientSize_.height}; }

    // Changes of state that are not editing steps (tests, and the document's
    // commands, which set only the kind).
    void setKindOnly(LogoKind kind) { kind_ = kind; }
    void setOrigin(Point origin) { origin_ = origin; }
    void setCellSize(int cellSize) { cellSize_ = cellSize; }
    void setSelection(const Rect& selection) { selection_.setRect(selection); }

    // The canvas window's client took a new size: the origin comes back within
    // the pan limits (0 where the canvas fits). Paints nothing; the window
    // redraws itself at its new size.
    void setClientSize(Size size);
    // The largest origin a pan reaches: the enlarged canvas's size less the
    // client's, never below 0.
    Point maxOrigin() const;
    // The room the canvas window may take (its client without scroll bars):
    // what fit-to-window and the zoom past the buttons' steps measure by.
    void setRoom(Size room) { room_ = room; }
    Size room() const { return room_; }
    // The largest cell size (4 to 40) at which the whole canvas of the kind
    // fits the room; 4 when none does.
    int fitCellSize(LogoKind kind) const;
    int fitCellSize() const { return fitCellSize(kind_); }
    // The largest cell size zoom-in reaches now: 15, or more up to the fit.
    int maxCellSize() const { return std::max(kMaxCellSize, fitCellSize()); }
    // The enlarged canvas's size in pixels.
    Size canvasPixels() const { return {size().width * cellSize_, size().height * cellSize_}; }

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

    // --- stylus events (client coordinates) ---
    // A stylus-down starts a gesture of the tool; its moves and its stylus-up
    // continue it. A move or stylus-up with another tool (the tool was changed
    // meanwhile) ends the gesture as it stands.
    void stylusDown(Point point, Tool tool, StylusInput input = {});
    void stylusMove(Point point, Tool tool, StylusInput input = {});
    void stylusUp(Point point, Tool tool, StylusInput input = {});
    // A double-tap is handled exactly like a stylus-down.
    void doubleTap(Point point, Tool tool, StylusInput input = {}) { stylusDown(point, tool, input); }

    // --- the tools' operations ---
    // Sets the one cell under the point (no line), drawn directly.
    void paintCell(Point point, std::int32_t value);
    void pan(Point point);
    // Pans by a distance in client pixels (the mouse wheel), with the limits
    // and the exposed strips of a stylus pan.
    void panBy(int dx, int dy);
    void selectionDown(Point point);
    void extendSelection(Point point);
    void liftSelection();
    void dragSelection(Point point);

    // --- menu commands and keys ---
    void hideSelection();
    void copySelection();
    void deleteSelection();
    // Moves a lifted selection by whole cells within the canvas (an arrow
    // key): one undo step.
    void nudgeSelection(int dx, int dy);
    // View menu: a new kind from the top-left corner, no selection.
    void setCanvasKind(LogoKind kind);
    // Zoom buttons: one step, the origin scaled in single precision.
    void zoomIn();
    void zoomOut();
    // View menu, Fit to window: the largest cell size at which the whole
    // canvas shows, from the top-left corner.
    void fitToWindow();

    // A document command or import changed a canvas or the kind: the selection
    // and its buffers belong to the picture that was there, so it is dropped
    // (no repaint; the caller redraws what it changed).
    void dropSelection();

    // Redraws the whole canvas window at once.
    void redrawAll();

    // --- pictures and text from elsewhere ---
    // Makes a block of cells (at most 78 x 28 are taken) the lifted selection
    // at the first wholly visible column and row, moved left and up as far as
    // needed to lie on the canvas, and shows it: one undo step named label.
    // A transparent block lets only its set cells land on the canvas.
    void placeFloating(const Canvas& block, std::string_view label = "Paste", bool transparent = false);
    // Replaces the whole content of the canvas of a kind (content of another
    // size is taken where the two overlap), makes that kind current and shows
    // it: one undo step named label.
    void replaceCanvas(LogoKind kind, const Canvas& content, std::string_view label);

    // --- undo and redo ---
    // A recorded edit: begin before the change (a gesture's start, a
    // command), commit after it. The commit records a step when the picture,
    // the kind or the selection's rectangle changed; cancel records nothing
    // and keeps the change. A begin while another edit is open commits that
    // one first.
    void beginEdit(std::string_view label);
    bool commitEdit();
    void cancelEdit();
    bool editing() const { return pending_.has_value(); }
    // Undo during a gesture cancels the gesture: the picture goes back to what
    // it was at its start. Otherwise the last step is taken back; a step of
    // another canvas shows that canvas first.
    bool undo();
    bool redo();
    bool canUndo() const { return pending_.has_value() || history_.canUndo(); }
    bool canRedo() const { return !pending_.has_value() && history_.canRedo(); }
    const EditHistory& history() const { return history_; }
    EditSnapshot snapshot() const { return EditSnapshot::capture(document_, kind_, selection_); }

    // --- drawings not yet saved ---
    // The canvas of a kind as it is now was opened or saved.
    void markSaved(LogoKind kind);
    // The kinds whose canvas holds a drawing that differs from the one last
    // opened or saved (a blank canvas holds nothing to lose).
    std::vector<LogoKind> unsavedKinds() const;
    // The canvas of a kind differs from the one last opened or saved (blank
    // or not).
    bool differsFromSaved(LogoKind kind) const;

private:
    enum class Gesture { None, Stroke, Pan, DrawSelection, DragSelection, Shape, Fill };
    struct PendingEdit {
        std::string label;
        EditSnapshot before;
    };

    void startGesture(Point point, Tool tool, StylusInput input);
    // Opens the edit of a gesture or a command (committing one still open).
    void beginEditOfGesture(std::string_view label);
    // Ends the gesture in progress as if the stylus came up: a drawn selection
    // is lifted, the edit committed.
    void finishGesture();
    // Makes another kind current, from its top-left corner (no paint).
    void showKind(LogoKind kind);
    // Brings a snapshot back and shows it.
    void restore(const EditSnapshot& snapshot);

    // Pen and eraser: every cell of the line from the last stroke cell to the
    // point's cell, each drawn directly.
    void strokeTo(Point point);
    void setCellDirectly(Point cell, std::int32_t value);
    // Line and rectangle: the shape from the anchor to the point's cell,
    // drawn over the canvas as it was at the gesture's start.
    void drawShape(Point point, bool constrain);
    void fillAt(Point point);
    // Scrolls the view by (dx, dy) client pixels within the pan limits: the
    // pixels on screen move, the uncovered strips are painted. False when the
    // limits leave nothing to scroll.
    bool scrollView(int dx, int dy);
    bool outsideClient(Point clientPoint) const;
    // Moves the lifted selection and repaints its old and new places.
    void moveSelectionShown(int dx, int dy);
    // Repaints cells on the canvas window and the preview.
    void repaintCells(const Rect& cells);
    void repaintPreviewOfAllKinds();

    Canvas& canvas() { return document_.canvas(kind_); }
    const Canvas& canvas() const { return document_.canvas(kind_); }

    CPelorinDoc& document_;
    DrawingSurface& surface_;

    LogoKind kind_ = LogoKind::Operator;
    int cellSize_ = kDefaultCellSize;
    Point origin_{0, 0};
    Size clientSize_{218, 138};
    Size room_{218, 138};
    bool tracking_ = false;
    Point lastPoint_{0, 0};
    Selection selection_;
    bool draggingSelection_ = false;

    // The gesture in progress.
    Gesture gesture_ = Gesture::None;
    Tool gestureTool_ = Tool::Pen;
    std::int32_t ink_ = 1;
    Point anchor_{0, 0};        // the cell where a selection or a shape began
    Point strokeCell_{0, 0};    // the last cell of a pen or eraser stroke
    std::vector<Point> shape_;  // the cells of the shape drawn now
    std::vector<std::int32_t> shapeBase_;

    EditHistory history_;
    std::optional<PendingEdit> pending_;
    std::array<CellBits, 3> saved_{};
};

}  // namespace pelorin
