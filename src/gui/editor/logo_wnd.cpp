#include "editor/logo_wnd.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "editor/layout.h"
#include "editor/qt_geometry.h"

namespace pelorin {

namespace {

// Draws the logic's cells into the client image.
class ImageCellPainter final : public CellPainter {
public:
    explicit ImageCellPainter(QImage& image) : painter_(&image) {}
    void fill(const Rect& clientRect, Rgb colour) override { painter_.fillRect(toQRect(clientRect), toQColor(colour)); }
    void erase(const Rect& clientRect) { painter_.fillRect(toQRect(clientRect), Qt::white); }

private:
    QPainter painter_;
};

// Moves the pixels of a 32-bit image by (dx, dy); what is uncovered keeps its
// old pixels until it is painted again.
void scrollImage(QImage& image, int dx, int dy) {
    const int width = image.width();
    const int height = image.height();
    const int columns = width - std::abs(dx);
    const int rows = height - std::abs(dy);
    if (columns <= 0 || rows <= 0) return;
    const int sourceX = dx >= 0 ? 0 : -dx;
    const int targetX = dx >= 0 ? dx : 0;
    const auto bytes = static_cast<std::size_t>(columns) * sizeof(QRgb);
    const auto moveRow = [&](int row) {
        const int sourceY = dy >= 0 ? row : row - dy;
        const int targetY = dy >= 0 ? row + dy : row;
        std::memmove(reinterpret_cast<QRgb*>(image.scanLine(targetY)) + targetX,
                     reinterpret_cast<const QRgb*>(image.constScanLine(sourceY)) + sourceX, bytes);
    };
    // Rows are copied in the order that never overwrites a row still to be read.
    if (dy > 0)
        for (int row = rows - 1; row >= 0; --row) moveRow(row);
    else
        for (int row = 0; row < rows; ++row) moveRow(row);
}

}  // namespace

CLogoWnd::CLogoWnd(CPelorinDoc& document, PreviewSurface& preview, QWidget* parent)
    : QWidget(parent),
      editor_(document, *this),
      preview_(preview),
      client_(kLogoClientWidth, kLogoClientHeight, QImage::Format_RGB32) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(toQRect(kLogoWindowRect));
    setCursor(Qt::CrossCursor);
    // The right button clears pixels; it opens no menu here.
    setContextMenuPolicy(Qt::PreventContextMenu);
    client_.fill(Qt::white);
    ImageCellPainter painter(client_);
    editor_.paint(kLogoClientRect, painter);
}

// ---------------------------------------------------------------- size

void CLogoWnd::resizeEvent(QResizeEvent* /*event*/) {
    const Size client{std::max(0, width() - 2 * kBorder), std::max(0, height() - 2 * kBorder)};
    if (client == Size{client_.width(), client_.height()}) return;
    editor_.setClientSize(client);
    client_ = QImage(std::max(1, client.width), std::max(1, client.height), QImage::Format_RGB32);
    client_.fill(Qt::white);
    {
        ImageCellPainter painter(client_);
        editor_.paint(editor_.clientRect(), painter);
    }
    // The pan limits changed with the size.
    viewChanged();
}

// ---------------------------------------------------------------- surface

void CLogoWnd::fillCell(const Rect& clientRect, Rgb colour) {
    const Rect shown = clientRect.intersected(editor_.clientRect());
    if (shown.isEmpty()) return;
    QPainter(&client_).fillRect(toQRect(shown), toQColor(colour));
    showNow(shown);
}

void CLogoWnd::repaintNow(const Rect& clientRect) {
    const Rect area = clientRect.intersected(editor_.clientRect());
    if (area.isEmpty()) return;
    {
        ImageCellPainter painter(client_);
        // The erase: white, which stays wherever the canvas has no cell.
        painter.erase(area);
        editor_.paint(area, painter);
    }
    showNow(area);
}

void CLogoWnd::scrollContent(int dx, int dy) {
    scrollImage(client_, dx, dy);
    scroll(dx, dy, toQRect(editor_.clientRect()).translated(kBorder, kBorder));
}

void CLogoWnd::setPreviewPixel(Point viewPoint, Rgb colour) { preview_.setPreviewPixel(viewPoint, colour); }

void CLogoWnd::repaintPreviewNow(const Rect& viewRect) { preview_.repaintPreviewNow(viewRect); }

void CLogoWnd::showNow(const Rect& clientRect) { repaint(toQRect(clientRect).translated(kBorder, kBorder)); }

// ---------------------------------------------------------------- events

void CLogoWnd::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(kBorder, kBorder, client_);
    painter.setPen(QColor(96, 96, 96));
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

Point CLogoWnd::clientPoint(const QMouseEvent* event) const {
    const QPoint p = event->position().toPoint();
    return {p.x() - kBorder, p.y() - kBorder};
}

StylusInput CLogoWnd::inputOf(const QMouseEvent* event) const {
    return {gestureButton_ == Qt::RightButton, (event->modifiers() & Qt::ShiftModifier) != 0};
}

// Qt keeps sending moves and the release to the window that took the press,
// wherever the pointer goes: the capture from stylus-down to stylus-up. The
// left button sets, the right one clears; a second button during a gesture
// is ignored.
void CLogoWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    if (editor_.tracking()) return;
    gestureButton_ = event->button();
    editor_.stylusDown(clientPoint(event), currentTool(), inputOf(event));
    if (onEdited_) onEdited_();
}

void CLogoWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & gestureButton_)) return;
    editor_.stylusMove(clientPoint(event), currentTool(), inputOf(event));
}

void CLogoWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != gestureButton_) return;
    editor_.stylusUp(clientPoint(event), currentTool(), inputOf(event));
    if (onEdited_) onEdited_();
}

// The second press of a double-click arrives as this event: it counts as a
// press, so a double-tap with the pen sets its cell twice.
void CLogoWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    if (editor_.tracking()) return;
    gestureButton_ = event->button();
    editor_.doubleTap(clientPoint(event), currentTool(), inputOf(event));
    if (onEdited_) onEdited_();
}

// The wheel pans down and up (with Shift, or a sideways wheel, right and
// left) three cells a notch; with Ctrl it zooms one step a notch.
void CLogoWnd::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        wheelRemainder_ += delta.y() != 0 ? delta.y() : delta.x();
        for (; wheelRemainder_ >= kWheelNotch; wheelRemainder_ -= kWheelNotch) editor_.zoomIn();
        for (; wheelRemainder_ <= -kWheelNotch; wheelRemainder_ += kWheelNotch) editor_.zoomOut();
        event->accept();
        return;
    }
    const int step = 3 * editor_.cellSize();
    const bool sideways = (event->modifiers() & Qt::ShiftModifier) || (delta.y() == 0 && delta.x() != 0);
    const int amount = delta.y() != 0 ? delta.y() : delta.x();
    // A wheel turned away from the user (positive) shows what lies above.
    const int pixels = -amount * step / kWheelNotch;
    if (sideways)
        editor_.panBy(pixels, 0);
    else
        editor_.panBy(0, pixels);
    event->accept();
}

}  // namespace pelorin
