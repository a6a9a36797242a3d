#include "editor/tool_palette_wnd.h"

#include <QMouseEvent>
#include <QPainter>

#include "editor/layout.h"
#include "editor/qt_geometry.h"
#include "resources/button_images.h"

namespace pelorin {

namespace {
constexpr int kZoomInSlot = 8;
constexpr int kZoomOutSlot = 9;
constexpr int kToolCount = 4;
}  // namespace

CToolPaletteWnd::CToolPaletteWnd(CanvasEditor& editor, QWidget* parent)
    : QWidget(parent), editor_(editor), buttonImages_(drawButtonImages()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(toQRect(kPaletteRect));
}

void CToolPaletteWnd::setCurrentTool(Tool tool) {
    palette_.setCurrentTool(tool);
    repaint();
}

void CToolPaletteWnd::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    for (int i = 0; i < kToolCount; ++i) {
        const Point at = ToolPalette::kButtonPos[static_cast<std::size_t>(i)];
        painter.drawImage(at.x, at.y, buttonImages_[static_cast<std::size_t>(palette_.imageSlot(i))]);
    }
    painter.drawImage(ToolPalette::kZoomInRect.left, ToolPalette::kZoomInRect.top, buttonImages_[kZoomInSlot]);
    painter.drawImage(ToolPalette::kZoomOutRect.left, ToolPalette::kZoomOutRect.top, buttonImages_[kZoomOutSlot]);

    // The frame around the current tool: a one-pixel rounded outline whose
    // lines lie on the rectangle's first and last pixels.
    const Rect frame = palette_.frameRect();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(frame.left + 0.5, frame.top + 0.5, frame.width() - 1, frame.height() - 1), 3, 3);
}

void CToolPaletteWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    switch (palette_.tap(fromQPoint(event->position().toPoint()))) {
        case ToolPalette::TapResult::ZoomIn:
            editor_.zoomIn();
            break;
        case ToolPalette::TapResult::ZoomOut:
            editor_.zoomOut();
            break;
        case ToolPalette::TapResult::ToolChosen:
            repaint();
            break;
        case ToolPalette::TapResult::Ignored:
            break;
    }
}

void CToolPaletteWnd::mouseDoubleClickEvent(QMouseEvent* /*event*/) {}

}  // namespace pelorin
