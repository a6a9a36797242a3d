#include "editor/pelorin_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "app/command_table.h"
#include "editor/layout.h"
#include "editor/qt_geometry.h"
#include "sms/send_commands.h"

namespace pelorin {

namespace {

// Paints the logic's preview onto the view.
class WidgetPreviewPainter final : public PreviewPainter {
public:
    explicit WidgetPreviewPainter(QPainter& painter) : painter_(painter) {}
    void frame(const Rect& outline) override {
        // Four one-pixel lines on the rectangle's outermost pixels.
        const QColor black(Qt::black);
        painter_.fillRect(outline.left, outline.top, outline.width(), 1, black);
        painter_.fillRect(outline.left, outline.bottom - 1, outline.width(), 1, black);
        painter_.fillRect(outline.left, outline.top, 1, outline.height(), black);
        painter_.fillRect(outline.right - 1, outline.top, 1, outline.height(), black);
    }
    void pixel(Point viewPoint, Rgb colour) override {
        painter_.fillRect(viewPoint.x, viewPoint.y, 1, 1, toQColor(colour));
    }

private:
    QPainter& painter_;
};

// Everything the preview and its frame can cover, for the largest canvas.
Rect allPreviewKinds() {
    Rect area = previewFrameRect(LogoKind::Operator);
    for (LogoKind kind : {LogoKind::Picture, LogoKind::LargeOperator}) {
        const Rect frame = previewFrameRect(kind);
        area = {std::min(area.left, frame.left), std::min(area.top, frame.top), std::max(area.right, frame.right),
                std::max(area.bottom, frame.bottom)};
    }
    return area;
}

}  // namespace

CPelorinView::CPelorinView(CPelorinDoc& document, QWidget* parent)
    : QWidget(parent),
      document_(document),
      logoWnd_(new CLogoWnd(document, *this, this)),
      palette_(new CToolPaletteWnd(logoWnd_->editor(), this)) {
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette colours = QWidget::palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    logoWnd_->setToolSource([this] { return palette_->currentTool(); });
    registerCommands();
}

void CPelorinView::registerCommands() {
    using namespace command;
    const auto tool = [this](Tool t) { return [this, t] { palette_->setCurrentTool(t); }; };
    commands_.on(kToolPen, tool(Tool::Pen));
    commands_.on(kToolEraser, tool(Tool::Eraser));
    commands_.on(kToolMoving, tool(Tool::Moving));
    commands_.on(kToolSelection, tool(Tool::Selection));
    commands_.on(kHideSelection, [this] { editor().hideSelection(); });
    commands_.on(kCopySelection, [this] { editor().copySelection(); });
    commands_.on(kDeleteSelection, [this] { editor().deleteSelection(); });
    commands_.on(kViewOperator, [this] { setCanvasKind(LogoKind::Operator); });
    commands_.on(kViewPicture, [this] { setCanvasKind(LogoKind::Picture); });
    commands_.on(kViewLargeOperator, [this] { setCanvasKind(LogoKind::LargeOperator); });
    commands_.on(kSendOperatorLogo, [this] { onSendOperatorLogo(); });
    commands_.on(kSendGroupGraphic, [this] { onSendGroupGraphic(); });
    commands_.on(kSendRestoreOperatorLogo, [this] { onSendRestoreOperatorLogo(); });
    commands_.on(kSendPictureMessage, [this] { onSendPictureMessage(); });
}

void CPelorinView::setCanvasKind(LogoKind kind) { editor().setCanvasKind(kind); }

std::optional<CommandState> CPelorinView::commandState(int id) const {
    using namespace command;
    const LogoKind kind = currentKind();
    const Tool tool = palette_->currentTool();
    switch (id) {
        case kToolPen:
            return CommandState{true, tool == Tool::Pen};
        case kToolEraser:
            return CommandState{true, tool == Tool::Eraser};
        case kToolMoving:
            return CommandState{true, tool == Tool::Moving};
        case kToolSelection:
            return CommandState{true, tool == Tool::Selection};
        case kViewOperator:
            return CommandState{true, kind == LogoKind::Operator};
        case kViewPicture:
            return CommandState{true, kind == LogoKind::Picture};
        case kViewLargeOperator:
            return CommandState{true, kind == LogoKind::LargeOperator};
        case kSendOperatorLogo:
            return CommandState{kind == LogoKind::Operator || kind == LogoKind::LargeOperator, std::nullopt};
        case kSendGroupGraphic:
            return CommandState{kind == LogoKind::Operator, std::nullopt};
        case kSendRestoreOperatorLogo:
            return CommandState{true, std::nullopt};
        case kSendPictureMessage:
            return CommandState{kind == LogoKind::Picture, std::nullopt};
        default:
            return std::nullopt;
    }
}

void CPelorinView::onSendOperatorLogo() {
    if (sendCommands_) sendCommands_->sendOperatorLogo(currentKind());
}

void CPelorinView::onSendGroupGraphic() {
    if (sendCommands_) sendCommands_->sendGroupGraphic();
}

void CPelorinView::onSendRestoreOperatorLogo() {
    if (sendCommands_) sendCommands_->sendRestoreOperatorLogo();
}

void CPelorinView::onSendPictureMessage() {
    if (sendCommands_) sendCommands_->sendPictureMessage();
}

// A document command or an import changed a canvas or the kind. The selection
// and its buffers belong to the picture that was there, so they go; the
// canvas window shows the new picture and the preview its new size at once.
void CPelorinView::updateAllViews() {
    editor().dropSelection();
    editor().redrawAll();
    repaintPreviewNow(allPreviewKinds());
}

void CPelorinView::setPreviewPixel(Point viewPoint, Rgb colour) {
    directPixel_ = DirectPixel{viewPoint, colour};
    repaint(viewPoint.x, viewPoint.y, 1, 1);
    directPixel_.reset();
}

void CPelorinView::repaintPreviewNow(const Rect& viewRect) {
    if (!viewRect.isEmpty()) repaint(toQRect(viewRect));
}

void CPelorinView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (directPixel_ && event->rect() == QRect(directPixel_->at.x, directPixel_->at.y, 1, 1)) {
        painter.fillRect(event->rect(), toQColor(directPixel_->colour));
        return;
    }
    WidgetPreviewPainter preview(painter);
    editor().paintPreview(fromQRect(event->rect()), preview);
}

}  // namespace pelorin
