#pragma once

#include <memory>

#include "editor/canvas_screen.h"
#include "editor/drawing_options.h"
#include "editor/edit_model.h"
#include "editor/geometry.h"
#include "editor/tool_palette.h"
#include "editor/viewport.h"

namespace pelorin {

// What comes with a stylus event besides its point: the right mouse button
// (pen, line, rectangle and fill clear instead of set) and Shift (lines kept
// to 0, 45 or 90 degrees, rectangles square).
struct StylusInput {
    bool clear = false;
    bool constrain = false;
};

// The parts a gesture works on. lastPoint is the stylus point the editor
// last took: a pan or a drag moves it as the view scrolls. The options are
// the Tools menu's switches (filled shapes, mirrors, fill pattern).
struct GestureContext {
    EditModel& model;
    Viewport& view;
    CanvasScreen& screen;
    Point& lastPoint;
    const DrawingOptions& options;
};

// One stylus gesture, from its stylus-down to its stylus-up, with the state
// it alone needs. The editor opens no edit for it: a gesture that changes the
// picture begins its step in down(), and the editor commits it after up().
class Gesture {
public:
    explicit Gesture(GestureContext& context) : ctx_(context) {}
    virtual ~Gesture() = default;
    Gesture(const Gesture&) = delete;
    Gesture& operator=(const Gesture&) = delete;

    virtual void down(Point point, StylusInput input) = 0;
    virtual void move(Point point, StylusInput input) = 0;
    // The stylus came up, or the gesture ends as it stands.
    virtual void up() {}
    // Undo during the gesture: the picture goes back to its start; the
    // gesture only forgets what it holds.
    virtual void cancel() {}

protected:
    GestureContext& ctx_;
};

// The gesture a stylus-down at the point starts with the tool (a selection
// tool down inside the selection drags it, elsewhere draws a new one).
std::unique_ptr<Gesture> makeGesture(Tool tool, GestureContext& context, Point point);

// Pans the view from the last point toward the point (a stylus drag of the
// moving tool, or the view following a selection beyond the window's edge).
void panTowards(GestureContext& context, Point point);

// The tool's name, the label of the undo step its gesture makes.
std::string_view toolName(Tool tool);

}  // namespace pelorin
