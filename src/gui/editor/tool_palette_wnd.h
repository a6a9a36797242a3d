#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "editor/canvas_editor.h"
#include "editor/tool_palette.h"

namespace pelorin {

// The palette below the canvas: the tool buttons in two rows (the current
// one in colour and framed) and the two zoom buttons, each with a tooltip of
// its name and key. It owns the current tool; the zoom buttons step the
// canvas window's cell size.
class CToolPaletteWnd : public QWidget {
    Q_OBJECT
public:
    CToolPaletteWnd(CanvasEditor& editor, QWidget* parent);

    Tool currentTool() const { return palette_.currentTool(); }
    // The Tools menu: sets the tool and shows it at once.
    void setCurrentTool(Tool tool);
    const std::array<QImage, ToolPalette::kImageSlots>& buttonImages() const { return buttonImages_; }
    const std::vector<QImage>& secondRowImages() const { return secondRowImages_; }
    const std::vector<QImage>& extraImages() const { return extraImages_; }
    // The tooltip of the button under a point: "Pen (P)"; empty between buttons.
    static QString toolTipAt(Point point);
    // What the Text button runs (the Text command).
    void setTextCommand(std::function<void()> command) { textCommand_ = std::move(command); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The second click of a double-click does nothing here.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    CanvasEditor& editor_;
    ToolPalette palette_;
    std::array<QImage, ToolPalette::kImageSlots> buttonImages_;
    std::vector<QImage> secondRowImages_;
    std::vector<QImage> extraImages_;
    QImage textImage_;
    std::function<void()> textCommand_;
};

}  // namespace pelorin
