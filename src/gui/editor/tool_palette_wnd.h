#pragma once

#include <QImage>
#include <QWidget>
#include <array>

#include "editor/canvas_editor.h"
#include "editor/tool_palette.h"

namespace pelorin {

// The palette below the canvas: four tool buttons (the current one in colour
// and framed) and the two zoom buttons. It owns the current tool; the zoom
// buttons step the canvas window's cell size.
class CToolPaletteWnd : public QWidget {
    Q_OBJECT
public:
    CToolPaletteWnd(CanvasEditor& editor, QWidget* parent);

    Tool currentTool() const { return palette_.currentTool(); }
    // The Tools menu: sets the tool and shows it at once.
    void setCurrentTool(Tool tool);
    const std::array<QImage, ToolPalette::kImageSlots>& buttonImages() const { return buttonImages_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The second click of a double-click does nothing here.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CanvasEditor& editor_;
    ToolPalette palette_;
    std::array<QImage, ToolPalette::kImageSlots> buttonImages_;
};

}  // namespace pelorin
