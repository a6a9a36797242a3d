#pragma once

#include "editor/gesture.h"

namespace pelorin {

// The moving tool: the view follows the stylus within the pan limits.
class PanGesture : public Gesture {
public:
    using Gesture::Gesture;
    void down(Point, StylusInput) override {}
    void move(Point point, StylusInput) override { panTowards(ctx_, point); }
};

// A new selection from the tapped cell (the anchor) to the cell under the
// stylus, in whichever direction it goes; lifted when the stylus comes up.
class DrawSelectionGesture : public Gesture {
public:
    using Gesture::Gesture;
    void down(Point point, StylusInput input) override;
    void move(Point point, StylusInput input) override;
    void up() override { ctx_.model.selection().lift(ctx_.model.canvas()); }

private:
    Point anchor_{0, 0};
};

// The lifted selection follows the stylus by whole cells; beyond the
// window's edge the view scrolls one cell toward the stylus a move.
class DragSelectionGesture : public Gesture {
public:
    using Gesture::Gesture;
    void down(Point, StylusInput) override { ctx_.model.begin("Move selection"); }
    void move(Point point, StylusInput input) override;
};

}  // namespace pelorin
