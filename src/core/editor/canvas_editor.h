#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "document/import_result.h"
#include "document/logo_kind.h"
#include "editor/canvas_commands.h"
#include "editor/canvas_screen.h"
#include "editor/drawing_options.h"
#include "editor/drawing_surface.h"
#include "editor/edit_history.h"
#include "editor/edit_model.h"
#include "editor/geometry.h"
#include "editor/gesture.h"
#include "editor/selection.h"
#include "editor/tool_palette.h"
#include "editor/transforms.h"
#include "editor/viewport.h"

namespace pelorin {

// The editing logic behind the canvas window. It owns the viewport (which
// canvas, at what zoom and pan), the edit model (the selection, the history,
// the save marks), the screen (what is painted) and the gesture in progress,
// and routes stylus events, commands and zoom steps to them. It draws only
// through the DrawingSurface.
class CanvasEditor {
public:
    static constexpr int kBufferStride = Selection::kBufferStride;
    static constexpr int kBufferCells = Selection::kBufferCells;
    static constexpr int kMinCellSize = Viewport::kMinCellSize;
    static constexpr int kMaxCellSize = Viewport::kMaxCellSize;
    static constexpr int kMaxFitCellSize = Viewport::kMaxFitCellSize;
    static constexpr int kDefaultCellSize = Viewport::kDefaultCellSize;

    CanvasEditor(CPelorinDoc& document, DrawingSurface& surface);

    // --- state (read by the widgets and the tests) ---
    const Viewport& viewport() const { return view_; }
    LogoKind kind() const { return view_.kind(); }
    int cellSize() const { return view_.cellSize(); }
    Point origin() const { return view_.origin(); }
    const Rect& selection() const { return model_.selection().rect(); }
    const Selection& selectionState() const { return model_.selection(); }
    bool tracking() const { return tracking_; }
    Point lastPoint() const { return lastPoint_; }
    const Selection::Buffer& background() const { return model_.selection().background(); }
    const Selection::Buffer& floating() const { return model_.selection().floating(); }
    CanvasSize size() const { return view_.canvasSize(); }
    Size clientSize() const { return view_.clientSize(); }
    Rect clientRect() const { return view_.clientRect(); }

    // Changes of state that are not editing steps (tests, and the document's
    // commands, which set only the kind).
    void setKindOnly(LogoKind kind) { view_.setKind(kind); }
    void setOrigin(Point origin) { view_.setOrigin(origin); }
    void setCellSize(int cellSize) { view_.setCellSize(cellSize); }
    void setSelection(const Rect& selection) { model_.selection().setRect(selection); }

    // The canvas window's client took a new size: the origin comes back within
    // the pan limits. Paints nothing; the window redraws itself.
    void setClientSize(Size size) { view_.setClientSize(size); }
    Point maxOrigin() const { return view_.maxOrigin(); }
    // The room for the canvas window, and what fits it (Viewport).
    void setRoom(Size room) { view_.setRoom(room); }
    int fitCellSize() const { return view_.fitCellSize(view_.kind()); }
    int maxCellSize() const { return view_.maxCellSize(); }
    Size canvasPixels() const { return view_.canvasPixels(); }
    // View menu, Fit to window.
    void fitToWindow() {
        view_.fitToRoom();
        screen_.redrawAll();
    }

    // --- geometry and painting ---
    Point cellAt(Point clientPoint) const { return view_.cellAt(clientPoint); }
    Rect cellRect(const Rect& cells) const { return view_.cellRect(cells); }
    Rgb cellColour(int x, int y) const { return screen_.cellColour(x, y); }
    void paint(const Rect& area, CellPainter& painter) const { screen_.paint(area, painter); }
    void paintPreview(const Rect& area, PreviewPainter& painter) const { screen_.paintPreview(area, painter); }
    void redrawAll() { screen_.redrawAll(); }

    // --- stylus events (client coordinates) ---
    // A stylus-down starts a gesture of the tool; its moves and its stylus-up
    // continue it. A move or stylus-up with another tool (the tool was changed
    // meanwhile) ends the gesture as it stands.
    void stylusDown(Point point, Tool tool, StylusInput input = {});
    void stylusMove(Point point, Tool tool, StylusInput input = {});
    void stylusUp(Point point, Tool tool, StylusInput input = {});
    // A double-tap is handled exactly like a stylus-down.
    void doubleTap(Point point, Tool tool, StylusInput input = {}) { stylusDown(point, tool, input); }
    // Pans by a distance in client pixels (the mouse wheel), with the limits
    // and the exposed strips of a stylus pan.
    void panBy(int dx, int dy) { screen_.scrollView(dx, dy); }

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
    void zoomIn() { commands_.zoom(+1); }
    void zoomOut() { commands_.zoom(-1); }
    // Edit menu: flip, rotate, invert or shift the lifted selection, or the
    // whole canvas when nothing is selected; one undo step.
    void transform(Transform transform);
    // The Tools menu's switches (filled shapes, mirrors, fill pattern); the
    // next gesture follows them.
    const DrawingOptions& drawingOptions() const { return options_; }
    void setDrawingOptions(const DrawingOptions& options) { options_ = options; }

    // A document command or import changed a canvas or the kind: the selection
    // and its buffers belong to the picture that was there, so it is dropped
    // (no repaint; the caller redraws what it changed).
    void dropSelection() { model_.selection().hide(); }

    // --- pictures and text from elsewhere: each one undo step named label ---
    // A transparent block lets only its set cells land on the canvas.
    void placeFloating(const Canvas& block, std::string_view label = "Paste", bool transparent = false);
    void replaceCanvas(LogoKind kind, const Canvas& content, std::string_view label);
    // Applies what reading a logo file gave (the caller shows its error), as
    // one undo step named label; with no label no step is recorded (the file
    // named at start-up). An Imported canvas replaces the canvas of its kind
    // and counts as saved; Imported and KindChangedOnly make the kind current
    // (the origin kept); whatever the outcome the selection is dropped and
    // everything redrawn.
    void applyImport(const ImportResult& result, std::optional<std::string_view> label);

    // --- undo and redo ---
    // A recorded edit: begin before the change (a gesture's start, a
    // command), commit after it. The commit records a step when the picture,
    // the kind or the selection's rectangle changed; cancel records nothing
    // and keeps the change. A begin while another edit is open commits that
    // one first.
    void beginEdit(std::string_view label);
    bool commitEdit() { return model_.commit(); }
    void cancelEdit() { model_.cancel(); }
    bool editing() const { return model_.editing(); }
    // Undo during a gesture cancels the gesture: the picture goes back to what
    // it was at its start. Otherwise the last step is taken back; a step of
    // another canvas shows that canvas first.
    bool undo();
    bool redo();
    bool canUndo() const { return model_.editing() || model_.history().canUndo(); }
    bool canRedo() const { return !model_.editing() && model_.history().canRedo(); }
    const EditHistory& history() const { return model_.history(); }
    EditSnapshot snapshot() const { return model_.snapshot(); }

    // --- drawings not yet saved ---
    void markSaved(LogoKind kind) { model_.markSaved(kind); }
    std::vector<LogoKind> unsavedKinds() const { return model_.unsavedKinds(); }
    // The canvas of a kind differs from the one last opened or saved (blank
    // or not).
    bool differsFromSaved(LogoKind kind) const { return model_.differsFromSaved(kind); }

private:
    // Ends the gesture in progress as if the stylus came up, and commits its
    // edit.
    void finishGesture();

    Viewport view_;
    EditModel model_;
    CanvasScreen screen_;
    CanvasCommands commands_;
    bool tracking_ = false;
    Point lastPoint_{0, 0};
    DrawingOptions options_;
    GestureContext context_;
    std::unique_ptr<Gesture> gesture_;
    Tool gestureTool_ = Tool::Pen;
};

}  // namespace pelorin
