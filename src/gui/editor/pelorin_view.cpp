#include "editor/pelorin_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
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

}  // namespace

CPelorinView::CPelorinView(CPelorinDoc& document, QWidget* parent)
    : QWidget(parent),
      document_(document),
      logoWnd_(new CLogoWnd(document, *this, this)),
      palette_(new CToolPaletteWnd(logoWnd_->editor(), this)) {
    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette colours = QWidget::palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    logoWnd_->setToolSource([this] { return palette_->currentTool(); });
    registerCommands();
}

void CPelorinView::registerCommands() {
    using namespace command;
    // Each command with the state of its menu item, side by side.
    const auto always = [] { return CommandState{true, std::nullopt}; };
    const auto tool = [this](int id, Tool t) {
        commands_.on(
            id, [this, t] { palette_->setCurrentTool(t); },
            [this, t] {
                return CommandState{true, palette_->currentTool() == t};
            });
    };
    tool(kToolPen, Tool::Pen);
    tool(kToolEraser, Tool::Eraser);
    tool(kToolMoving, Tool::Moving);
    tool(kToolSelection, Tool::Selection);
    tool(kToolLine, Tool::Line);
    tool(kToolRectangle, Tool::Rectangle);
    tool(kToolFill, Tool::Fill);
    tool(kToolEllipse, Tool::Ellipse);
    tool(kToolInvertPen, Tool::InvertPen);
    // The switches the drawing tools follow, each a check mark.
    const auto option = [this](int id, bool DrawingOptions::*field) {
        commands_.on(
            id,
            [this, field] {
                DrawingOptions options = editor().drawingOptions();
                options.*field = !(options.*field);
                editor().setDrawingOptions(options);
            },
            [this, field] {
                return CommandState{true, editor().drawingOptions().*field};
            });
    };
    option(kToolFilled, &DrawingOptions::filled);
    option(kMirrorHorizontally, &DrawingOptions::mirrorHorizontally);
    option(kMirrorVertically, &DrawingOptions::mirrorVertically);
    static_assert(kFillPatternCount == static_cast<int>(kFillPatterns.size()));
    for (int i = 0; i < kFillPatternCount; ++i) {
        const FillPattern pattern = kFillPatterns[static_cast<std::size_t>(i)].pattern;
        commands_.on(
            kFillPatternFirst + i,
            [this, pattern] {
                DrawingOptions options = editor().drawingOptions();
                options.fillPattern = pattern;
                editor().setDrawingOptions(options);
            },
            [this, pattern] {
                return CommandState{true, editor().drawingOptions().fillPattern == pattern};
            });
    }
    const auto change = [this, always](int id, Transform transform) {
        commands_.on(
            id, [this, transform] { editor().transform(transform); }, always);
    };
    change(kFlipHorizontally, Transform::FlipHorizontally);
    change(kFlipVertically, Transform::FlipVertically);
    change(kRotate180, Transform::Rotate180);
    change(kInvertColours, Transform::InvertColours);
    change(kShiftLeft, Transform::ShiftLeft);
    change(kShiftRight, Transform::ShiftRight);
    change(kShiftUp, Transform::ShiftUp);
    change(kShiftDown, Transform::ShiftDown);
    commands_.on(
        kEditUndo, [this] { editor().undo(); },
        [this] {
            return CommandState{editor().canUndo(), {}};
        });
    commands_.on(
        kEditRedo, [this] { editor().redo(); },
        [this] {
            return CommandState{editor().canRedo(), {}};
        });
    commands_.on(
        kHideSelection, [this] { editor().hideSelection(); }, always);
    commands_.on(
        kCopySelection, [this] { editor().copySelection(); }, always);
    commands_.on(
        kDeleteSelection, [this] { editor().deleteSelection(); }, always);
    commands_.on(
        kZoomIn, [this] { editor().zoomIn(); }, always);
    commands_.on(
        kZoomOut, [this] { editor().zoomOut(); }, always);
    commands_.on(
        kNudgeLeft, [this] { editor().nudgeSelection(-1, 0); }, always);
    commands_.on(
        kNudgeRight, [this] { editor().nudgeSelection(1, 0); }, always);
    commands_.on(
        kNudgeUp, [this] { editor().nudgeSelection(0, -1); }, always);
    commands_.on(
        kNudgeDown, [this] { editor().nudgeSelection(0, 1); }, always);
    const auto view = [this](int id, LogoKind kind) {
        commands_.on(
            id, [this, kind] { setCanvasKind(kind); },
            [this, kind] {
                return CommandState{true, currentKind() == kind};
            });
    };
    view(kViewOperator, LogoKind::Operator);
    view(kViewPicture, LogoKind::Picture);
    view(kViewLargeOperator, LogoKind::LargeOperator);
    const auto sendWhen = [this](std::initializer_list<LogoKind> kinds) {
        return [this, kinds = std::vector<LogoKind>(kinds)] {
            return CommandState{std::find(kinds.begin(), kinds.end(), currentKind()) != kinds.end(), std::nullopt};
        };
    };
    commands_.on(
        kSendOperatorLogo, [this] { onSendOperatorLogo(); }, sendWhen({LogoKind::Operator, LogoKind::LargeOperator}));
    commands_.on(
        kSendGroupGraphic, [this] { onSendGroupGraphic(); }, sendWhen({LogoKind::Operator}));
    commands_.on(
        kSendRestoreOperatorLogo, [this] { onSendRestoreOperatorLogo(); }, always);
    commands_.on(
        kSendPictureMessage, [this] { onSendPictureMessage(); }, sendWhen({LogoKind::Picture}));
}

void CPelorinView::setCanvasKind(LogoKind kind) { editor().setCanvasKind(kind); }

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
    repaintPreviewNow(previewAreaOfAllKinds());
}

void CPelorinView::setPreviewPixel(Point viewPoint, Rgb colour) {
    const Point at{viewPoint.x + previewShift_.x, viewPoint.y + previewShift_.y};
    directPixel_ = DirectPixel{at, colour};
    repaint(at.x, at.y, 1, 1);
    directPixel_.reset();
}

void CPelorinView::repaintPreviewNow(const Rect& viewRect) {
    if (!viewRect.isEmpty()) repaint(toQRect(viewRect.translated(previewShift_.x, previewShift_.y)));
}

void CPelorinView::resizeEvent(QResizeEvent* /*event*/) {
    const EditorLayout layout = editorLayout({width(), height()});
    previewShift_ = layout.previewShift;
    logoWnd_->setGeometry(toQRect(layout.logoWindow));
    palette_->setGeometry(toQRect(layout.palette));
}

void CPelorinView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (directPixel_ && event->rect() == QRect(directPixel_->at.x, directPixel_->at.y, 1, 1)) {
        painter.fillRect(event->rect(), toQColor(directPixel_->colour));
        return;
    }
    // The logic paints in the preview's own coordinates, those of the
    // default layout.
    painter.translate(previewShift_.x, previewShift_.y);
    WidgetPreviewPainter preview(painter);
    editor().paintPreview(fromQRect(event->rect().translated(-previewShift_.x, -previewShift_.y)), preview);
}

}  // namespace pelorin
