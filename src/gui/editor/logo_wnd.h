#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "document/document.h"
#include "editor/canvas_editor.h"
#include "editor/drawing_surface.h"
#include "editor/preview_surface.h"

namespace pelorin {

// The enlarged canvas: a client (218 x 138 at the default size) inside a
// one-pixel border. Mouse events go to the editing logic with the current
// tool; what the logic draws lands in a client image that the paint event
// shows, so a cell filled directly by the pen stays as drawn until the logic
// repaints it.
class CLogoWnd : public QWidget, public DrawingSurface {
    Q_OBJECT
public:
    static constexpr int kBorder = 1;

    CLogoWnd(CPelorinDoc& document, PreviewSurface& preview, QWidget* parent);

    CanvasEditor& editor() { return editor_; }
    const CanvasEditor& editor() const { return editor_; }
    // The canvas asks this for the current tool on every stylus event.
    void setToolSource(std::function<Tool()> source) { toolSource_ = std::move(source); }
    // Runs after every press and release (the menu states may change).
    void setOnEdited(std::function<void()> onEdited) { onEdited_ = std::move(onEdited); }
    // Runs when the view moved or the client took a new size.
    void setOnViewChanged(std::function<void()> onViewChanged) { onViewChanged_ = std::move(onViewChanged); }
    // What the client shows, as last drawn.
    const QImage& clientImage() const { return client_; }

    // DrawingSurface
    void fillCell(const Rect& clientRect, Rgb colour) override;
    void repaintNow(const Rect& clientRect) override;
    void scrollContent(int dx, int dy) override;
    void setPreviewPixel(Point viewPoint, Rgb colour) override;
    void repaintPreviewNow(const Rect& viewRect) override;
    void viewChanged() override {
        if (onViewChanged_) onViewChanged_();
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static constexpr int kWheelNotch = 120;  // angle delta of one notch

    StylusInput inputOf(const QMouseEvent* event) const;
    Point clientPoint(const QMouseEvent* event) const;
    Tool currentTool() const { return toolSource_ ? toolSource_() : Tool::Pen; }
    // Shows a part of the client image now.
    void showNow(const Rect& clientRect);

    CanvasEditor editor_;
    PreviewSurface& preview_;
    std::function<Tool()> toolSource_;
    QImage client_;
    std::function<void()> onEdited_;
    std::function<void()> onViewChanged_;
    Qt::MouseButton gestureButton_ = Qt::LeftButton;
    int wheelRemainder_ = 0;
};

}  // namespace pelorin
