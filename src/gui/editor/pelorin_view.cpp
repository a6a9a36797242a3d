#include "editor/pelorin_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
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
      palette_(new CToolPaletteWnd(logoWnd_->editor(), this)),
      horizontalBar_(new QScrollBar(Qt::Horizontal, this)),
      verticalBar_(new QScrollBar(Qt::Vertical, this)) {
    setMinimumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette colours = QWidget::palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    logoWnd_->setToolSource([this] { return palette_->currentTool(); });
    logoWnd_->setOnViewChanged([this] { placeCanvasWindow(); });
    horizontalBar_->hide();
    verticalBar_->hide();
    // A bar moved by the user pans like the moving tool: the pixels on screen
    // move and only the uncovered strips are painted.
    connect(horizontalBar_, &QScrollBar::valueChanged, this,
            [this](int value) { editor().panBy(value - editor().origin().x, 0); });
    connect(verticalBar_, &QScrollBar::valueChanged, this,
            [this](int value) { editor().panBy(0, value - editor().origin().y); });
    registerCommands();
    placeCanvasWindow();
}

void CPelorinView::placeCanvasWindow() {
    if (placing_) return;
    placing_ = true;
    CanvasEditor& logic = editor();
    const int border = CLogoWnd::kBorder;
    logic.setRoom({std::max(0, canvasRoom_.width() - 2 * border), std::max(0, canvasRoom_.height() - 2 * border)});
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, horizontalBar_);
    const CanvasWindowPlace place = pelorin::placeCanvasWindow(canvasRoom_, logic.canvasPixels(), border, extent);
    logoWnd_->setGeometry(toQRect(place.window));
    horizontalBar_->setVisible(place.horizontalBar.has_value());
    verticalBar_->setVisible(place.verticalBar.has_value());
    if (place.horizontalBar) horizontalBar_->setGeometry(toQRect(*place.horizontalBar));
    if (place.verticalBar) verticalBar_->setGeometry(toQRect(*place.verticalBar));
    placing_ = false;
    showOriginOnBars();
}

void CPelorinView::showOriginOnBars() {
    const CanvasEditor& logic = editor();
    const Point limit = logic.maxOrigin();
    const Size client = logic.clientSize();
    const auto show = [&](QScrollBar* bar, int maximum, int page, int value) {
        const QSignalBlocker quiet(bar);
        bar->setRange(0, maximum);
        bar->setPageStep(std::max(1, page));
        bar->setSingleStep(logic.cellSize());
        bar->setValue(value);
    };
    show(horizontalBar_, limit.x, client.width, logic.origin().x);
    show(verticalBar_, limit.y, client.height, logic.origin().y);
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
        kViewFitToWindow, [this] { editor().fitToWindow(); }, always);
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
    placeCanvasWindow();
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
    canvasRoom_ = layout.logoWindow;
    palette_->setGeometry(toQRect(layout.palette));
    placeCanvasWindow();
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
