#include "editor/tool_palette_wnd.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "app/qt_text.h"
#include "editor/layout.h"
#include "editor/qt_geometry.h"
#include "resources/button_images.h"

namespace pelorin {

namespace {
constexpr int kZoomInSlot = 8;
constexpr int kZoomOutSlot = 9;
constexpr int kFirstRowTools = 4;   // their pictures are slots 0 to 7
constexpr int kSecondRowTools = 3;  // line, rectangle, fill: the next six slots

QString tipOf(std::string_view name, std::string_view key) { return toQString(name) + " (" + toQString(key) + ")"; }
}  // namespace

CToolPaletteWnd::CToolPaletteWnd(CanvasEditor& editor, QWidget* parent)
    : QWidget(parent),
      editor_(editor),
      buttonImages_(drawButtonImages()),
      secondRowImages_(drawSecondRowImages()),
      extraImages_(drawFirstRowExtraImages()),
      textImage_(drawTextButtonImage()) {
    // Two pictures for every tool.
    Q_ASSERT(secondRowImages_.size() == 2 * kSecondRowTools);
    Q_ASSERT(extraImages_.size() == 2 * (ToolPalette::kTools.size() - kFirstRowTools - kSecondRowTools));
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
    for (std::size_t i = 0; i < ToolPalette::kTools.size(); ++i) {
        const Point at = ToolPalette::kTools[i].pos;
        const auto slot = static_cast<std::size_t>(palette_.imageSlot(static_cast<int>(i)));
        const QImage& picture = i < kFirstRowTools ? buttonImages_[slot]
                                : i < kFirstRowTools + kSecondRowTools
                                    ? secondRowImages_.at(slot - 2 * kFirstRowTools)
                                    : extraImages_.at(slot - 2 * (kFirstRowTools + kSecondRowTools));
        painter.drawImage(at.x, at.y, picture);
    }
    painter.drawImage(ToolPalette::kTextButtonPos.x, ToolPalette::kTextButtonPos.y, textImage_);
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
        case ToolPalette::TapResult::Text:
            if (textCommand_) textCommand_();
            break;
        case ToolPalette::TapResult::Ignored:
            break;
    }
}

void CToolPaletteWnd::mouseDoubleClickEvent(QMouseEvent* /*event*/) {}

QString CToolPaletteWnd::toolTipAt(Point point) {
    const auto button = [](Point at) {
        return Rect{at.x, at.y, at.x + ToolPalette::kButtonSize, at.y + ToolPalette::kButtonSize};
    };
    for (const ToolButton& tool : ToolPalette::kTools)
        if (button(tool.pos).contains(point)) return tipOf(tool.name, std::string_view(&tool.key, 1));
    if (button(ToolPalette::kTextButtonPos).contains(point)) return tipOf("Text", "T");
    if (ToolPalette::kZoomInRect.contains(point)) return tipOf("Zoom in", "+");
    if (ToolPalette::kZoomOutRect.contains(point)) return tipOf("Zoom out", "-");
    return {};
}

bool CToolPaletteWnd::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = toolTipAt(fromQPoint(help->pos()));
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}

}  // namespace pelorin
