#pragma once

#include <cstdint>
#include <vector>

#include "editor/gesture.h"

namespace pelorin {

// Pen and eraser: every cell of the line from the last stroke cell to the
// point's cell, each drawn directly.
class StrokeGesture : public Gesture {
public:
    StrokeGesture(GestureContext& context, Tool tool) : Gesture(context), tool_(tool) {}
    void down(Point point, StylusInput input) override;
    void move(Point point, StylusInput input) override;

private:
    Tool tool_;
    std::int32_t ink_ = 1;
    Point strokeCell_{0, 0};
};

// Invert pen: every cell the stroke passes flips, once a stroke however
// often the stroke crosses it.
class InvertStrokeGesture : public Gesture {
public:
    using Gesture::Gesture;
    void down(Point point, StylusInput input) override;
    void move(Point point, StylusInput input) override;

private:
    void flip(Point cell);

    std::vector<bool> flipped_;
    Point strokeCell_{0, 0};
};

// Line, rectangle and ellipse: the shape from the anchor to the point's cell, drawn
// over the canvas as it was at the gesture's start.
class ShapeGesture : public Gesture {
public:
    ShapeGesture(GestureContext& context, Tool tool) : Gesture(context), tool_(tool) {}
    void down(Point point, StylusInput input) override;
    void move(Point point, StylusInput input) override { draw(point, input.constrain); }
    void up() override;

private:
    void draw(Point point, bool constrain);

    Tool tool_;
    std::int32_t ink_ = 1;
    Point anchor_{0, 0};
    std::vector<Point> shape_;  // the cells of the shape drawn now
    std::vector<std::int32_t> shapeBase_;
};

// Fill: the 4-connected area under the point, at the stylus-down, with the
// chosen pattern.
class FillGesture : public Gesture {
public:
    using Gesture::Gesture;
    void down(Point point, StylusInput input) override;
    void move(Point, StylusInput) override {}
};

}  // namespace pelorin
