#pragma once

#include <QScrollBar>
#include <QWidget>
#include <optional>

#include "app/command_router.h"
#include "document/document.h"
#include "document/document_view.h"
#include "editor/layout.h"
#include "editor/logo_wnd.h"
#include "editor/preview_surface.h"
#include "editor/tool_palette_wnd.h"

namespace pelorin {

class SendCommands;

// The editing view: the canvas window at the top, the actual-size preview
// with its frame (painted here) and the tool palette below; past its default
// size the canvas window takes the room. It holds the current kind for the
// document's commands, and handles the Edit, Tools, View and Send commands,
// each registered with its menu state.
class CPelorinView : public QWidget, public DocumentView, public PreviewSurface {
    Q_OBJECT
public:
    // The view's default and smallest size: the palette ends at y = 265.
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 275;

    CPelorinView(CPelorinDoc& document, QWidget* parent);

    CPelorinDoc& document() { return document_; }
    CLogoWnd& logoWnd() { return *logoWnd_; }
    CToolPaletteWnd& toolPalette() { return *palette_; }
    // The canvas window's scroll bars (hidden while the canvas fits).
    QScrollBar& horizontalBar() { return *horizontalBar_; }
    QScrollBar& verticalBar() { return *verticalBar_; }
    CanvasEditor& editor() { return logoWnd_->editor(); }
    const CommandHandlers& commands() const { return commands_; }

    // View menu: another canvas from its top-left corner, no selection.
    void setCanvasKind(LogoKind kind);

    // Send menu: each runs its command of `commands` (set once by the
    // application) for the canvas shown.
    void setSendCommands(SendCommands* commands) { sendCommands_ = commands; }
    void onSendOperatorLogo();
    void onSendGroupGraphic();
    void onSendRestoreOperatorLogo();
    void onSendPictureMessage();

    // DocumentView
    LogoKind currentKind() const override { return logoWnd_->editor().kind(); }
    void updateAllViews() override;

    // PreviewSurface
    void setPreviewPixel(Point viewPoint, Rgb colour) override;
    void repaintPreviewNow(const Rect& viewRect) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void registerCommands();
    // Places the canvas window in the room the layout gives it (centred
    // where the canvas fits, with scroll bars where it does not).
    void placeCanvasWindow();
    // The scroll bars show the editor's origin and pan limits.
    void showOriginOnBars();

    CPelorinDoc& document_;
    CLogoWnd* logoWnd_;
    CToolPaletteWnd* palette_;
    QScrollBar* horizontalBar_;
    QScrollBar* verticalBar_;
    Rect canvasRoom_ = kLogoWindowRect;
    bool placing_ = false;
    CommandHandlers commands_;
    SendCommands* sendCommands_ = nullptr;
    // The one preview pixel that the pen or the eraser is setting right now.
    struct DirectPixel {
        Point at;
        Rgb colour;
    };
    std::optional<DirectPixel> directPixel_;
    // Where the preview sits past its place in the default layout.
    Point previewShift_{0, 0};
};

}  // namespace pelorin
