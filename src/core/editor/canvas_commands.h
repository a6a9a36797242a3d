#pragma once

#include <optional>
#include <string_view>

#include "document/canvas.h"
#include "document/import_result.h"
#include "document/logo_kind.h"
#include "editor/canvas_screen.h"
#include "editor/edit_model.h"
#include "editor/transforms.h"
#include "editor/viewport.h"

namespace pelorin {

// The editor's menu commands and keys, each on the model through the
// viewport, shown through the screen; each one undo step where it changes
// the picture. The editor ends any gesture in progress before calling them.
struct CanvasCommands {
    EditModel& model;
    Viewport& view;
    CanvasScreen& screen;

    void hideSelection();
    // The copy goes to the first wholly visible column, at the top row.
    void copySelection();
    void deleteSelection();
    // Moves a lifted selection by whole cells within the canvas.
    void nudgeSelection(int dx, int dy);
    // A new kind from the top-left corner, no selection.
    void setCanvasKind(LogoKind kind);
    void zoom(int step);
    // Makes a block of cells (at most 78 x 28 are taken) the lifted selection
    // at the first wholly visible column and row, moved left and up as far as
    // needed to lie on the canvas.
    void placeFloating(const Canvas& block, std::string_view label, bool transparent = false);
    // Replaces the whole content of the canvas of a kind (content of another
    // size is taken where the two overlap) and makes that kind current.
    void replaceCanvas(LogoKind kind, const Canvas& content, std::string_view label);
    // Applies what reading a logo file gave: an Imported canvas replaces the
    // canvas of its kind and counts as saved; Imported and KindChangedOnly
    // make the kind current (the origin kept); the selection goes. One step
    // named label, none without a label.
    void applyImport(const ImportResult& result, std::optional<std::string_view> label);
    // Flips, rotates, inverts or shifts the lifted selection when there is
    // one, otherwise the whole canvas: one undo step.
    void transform(Transform transform);
    // Brings a state back (an undo, a redo, a rolled-back step) and shows it.
    void show(LogoKind restoredKind);
};

}  // namespace pelorin
