#include "editor/canvas_commands.h"

#include <algorithm>

#include "editor/layout.h"

namespace pelorin {

void CanvasCommands::hideSelection() {
    model.selection().hide();
    screen.redrawAll();
}

void CanvasCommands::copySelection() {
    model.begin("Copy");
    Canvas& c = model.canvas();
    Selection& selection = model.selection();
    selection.takeBackground(c);
    const Rect r = selection.rect();
    const int left = view.firstWhollyVisibleCell().x;
    selection.setRect({left, 0, left + r.width(), r.height()});
    selection.stamp(c);
    screen.repaintPreview();
    screen.redrawAll();
    model.commit();
}

void CanvasCommands::deleteSelection() {
    model.begin("Delete");
    model.selection().deleteContent(model.canvas());
    screen.repaintPreview();
    screen.redrawAll();
    model.commit();
}

void CanvasCommands::nudgeSelection(int dx, int dy) {
    if (model.selection().isEmpty()) return;
    const Point d = model.selection().limitMove(dx, dy, view.canvasSize());
    if (d.x == 0 && d.y == 0) return;
    model.begin("Move selection");
    screen.moveSelectionShown(d.x, d.y);
    model.commit();
}

void CanvasCommands::setCanvasKind(LogoKind kind) {
    const auto before = view.canvasSize();
    model.selection().hide();
    view.showKind(kind);
    screen.redrawAll();
    // The view draws only the preview and its frame: repainting the larger of
    // the old and the new frame covers everything that changed.
    const auto after = view.canvasSize();
    const Rect frame = previewFrameRect(kind);
    screen.surface().repaintPreviewNow(
        {frame.left, frame.top, std::max(before.width, after.width) + 86, std::max(before.height, after.height) + 162});
}

void CanvasCommands::zoom(int step) {
    if (view.zoomStep(step)) screen.redrawAll();
}

void CanvasCommands::placeFloating(const Canvas& block, std::string_view label, bool transparent) {
    model.begin(label);
    const auto [w, h] = view.canvasSize();
    const int width = std::min(block.width(), w);
    const int height = std::min(block.height(), h);
    const Point first = view.firstWhollyVisibleCell();
    const Point at{std::max(0, std::min(first.x, w - width)), std::max(0, std::min(first.y, h - height))};
    model.selection().place(model.canvas(), block, at, transparent);
    screen.repaintPreview();
    screen.redrawAll();
    model.commit();
}

void CanvasCommands::replaceCanvas(LogoKind kind, const Canvas& content, std::string_view label) {
    model.begin(label);
    Canvas& target = model.document().canvas(kind);
    target.clear();
    const int width = std::min(target.width(), content.width());
    const int height = std::min(target.height(), content.height());
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) target.set(x, y, content.isSet(x, y));
    if (kind != view.kind()) view.showKind(kind);
    model.selection().hide();
    screen.redrawAll();
    screen.repaintPreviewOfAllKinds();
    model.commit();
}

void CanvasCommands::applyImport(const ImportResult& result, std::optional<std::string_view> label) {
    if (label) model.begin(*label);
    if (result.outcome == ImportOutcome::Imported || result.outcome == ImportOutcome::KindChangedOnly)
        view.setKind(result.kind);
    result.applyTo(model.document());
    model.selection().hide();
    screen.redrawAll();
    screen.repaintPreviewOfAllKinds();
    if (label) model.commit();
    if (result.outcome == ImportOutcome::Imported) model.markSaved(result.kind);
}

void CanvasCommands::transform(Transform transform) {
    model.begin(transformLabel(transform));
    Canvas& c = model.canvas();
    if (!model.selection().isEmpty())
        model.selection().transformContent(c, transform);
    else
        applyTransform(c.values(), c.width(), c.height(), c.height(), transform);
    screen.repaintPreview();
    screen.redrawAll();
    model.commit();
}

void CanvasCommands::show(LogoKind restoredKind) {
    // A step of another canvas shows that canvas, from its top-left corner.
    if (restoredKind != view.kind()) view.showKind(restoredKind);
    screen.redrawAll();
    screen.repaintPreviewOfAllKinds();
}

}  // namespace pelorin
