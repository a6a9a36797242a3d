#include "editor/gesture.h"

#include "editor/draw_gestures.h"
#include "editor/selection_gestures.h"

namespace pelorin {

std::string_view toolName(Tool tool) {
    for (const ToolButton& button : ToolPalette::kTools)
        if (button.tool == tool) return button.name;
    return {};
}

void panTowards(GestureContext& context, Point point) {
    const int dx = context.lastPoint.x - point.x;
    const int dy = context.lastPoint.y - point.y;
    if (context.screen.scrollView(dx, dy)) context.lastPoint = point;
}

std::unique_ptr<Gesture> makeGesture(Tool tool, GestureContext& context, Point point) {
    switch (tool) {
        case Tool::Pen:
        case Tool::Eraser:
            return std::make_unique<StrokeGesture>(context, tool);
        case Tool::Moving:
            return std::make_unique<PanGesture>(context);
        case Tool::Selection:
            if (context.model.selection().contains(context.view.cellAt(point)))
                return std::make_unique<DragSelectionGesture>(context);
            return std::make_unique<DrawSelectionGesture>(context);
        case Tool::Line:
        case Tool::Rectangle:
        case Tool::Ellipse:
            return std::make_unique<ShapeGesture>(context, tool);
        case Tool::InvertPen:
            return std::make_unique<InvertStrokeGesture>(context);
        case Tool::Fill:
            return std::make_unique<FillGesture>(context);
    }
    return nullptr;
}

}  // namespace pelorin
