#include "editor/canvas_editor.h"

namespace pelorin {

CanvasEditor::CanvasEditor(CPelorinDoc& document, DrawingSurface& surface)
    : model_(document, view_),
      screen_(model_, view_, surface),
      commands_{model_, view_, screen_},
      context_{model_, view_, screen_, lastPoint_, options_} {}

// ---------------------------------------------------------------- stylus

void CanvasEditor::stylusDown(Point point, Tool tool, StylusInput input) {
    finishGesture();
    tracking_ = true;
    lastPoint_ = point;
    gestureTool_ = tool;
    gesture_ = makeGesture(tool, context_, point);
    if (gesture_) gesture_->down(point, input);
}

void CanvasEditor::stylusMove(Point point, Tool tool, StylusInput input) {
    if (!tracking_ || point == lastPoint_) return;
    if (tool != gestureTool_) {
        finishGesture();
        return;
    }
    if (gesture_) gesture_->move(point, input);
}

void CanvasEditor::stylusUp(Point /*point*/, Tool /*tool*/, StylusInput /*input*/) { finishGesture(); }

void CanvasEditor::finishGesture() {
    std::unique_ptr<Gesture> gesture = std::move(gesture_);
    tracking_ = false;
    if (!gesture) return;
    gesture->up();
    model_.commit();
}

// ---------------------------------------------------------------- commands

void CanvasEditor::hideSelection() {
    finishGesture();
    commands_.hideSelection();
}

void CanvasEditor::copySelection() {
    finishGesture();
    commands_.copySelection();
}

void CanvasEditor::deleteSelection() {
    finishGesture();
    commands_.deleteSelection();
}

void CanvasEditor::nudgeSelection(int dx, int dy) {
    finishGesture();
    commands_.nudgeSelection(dx, dy);
}

void CanvasEditor::setCanvasKind(LogoKind kind) {
    finishGesture();
    commands_.setCanvasKind(kind);
}

void CanvasEditor::transform(Transform transform) {
    finishGesture();
    commands_.transform(transform);
}

void CanvasEditor::placeFloating(const Canvas& block, std::string_view label, bool transparent) {
    finishGesture();
    commands_.placeFloating(block, label, transparent);
}

void CanvasEditor::replaceCanvas(LogoKind kind, const Canvas& content, std::string_view label) {
    finishGesture();
    commands_.replaceCanvas(kind, content, label);
}

void CanvasEditor::applyImport(const ImportResult& result, std::optional<std::string_view> label) {
    finishGesture();
    commands_.applyImport(result, label);
}

// ---------------------------------------------------------------- undo and redo

void CanvasEditor::beginEdit(std::string_view label) {
    finishGesture();
    model_.begin(label);
}

bool CanvasEditor::undo() {
    if (model_.editing()) {
        // The gesture or command in progress goes back to its start.
        if (gesture_) gesture_->cancel();
        gesture_.reset();
        tracking_ = false;
        commands_.show(*model_.rollback());
        return true;
    }
    finishGesture();
    const std::optional<LogoKind> kind = model_.undo();
    if (!kind) return false;
    commands_.show(*kind);
    return true;
}

bool CanvasEditor::redo() {
    if (model_.editing()) return false;
    finishGesture();
    const std::optional<LogoKind> kind = model_.redo();
    if (!kind) return false;
    commands_.show(*kind);
    return true;
}

}  // namespace pelorin
