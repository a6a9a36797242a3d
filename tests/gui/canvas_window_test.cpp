// The editor's windows driven by mouse events: what the canvas window, the
// preview and the palette show after each step, and when they paint it.
#include <QPaintEvent>
#include <vector>

#include "app/command_table.h"
#include "editor/layout.h"
#include "gui_fixture.h"

namespace pelorin::testing {
namespace {

const QColor kBlack(0, 0, 0), kWhite(255, 255, 255), kSilver(192, 192, 192), kDarkBlue(0, 0, 192),
    kDarkCyan(0, 192, 192), kCyan(0, 255, 255), kPreviewGrey(220, 220, 220);

// Records the rectangles a widget paints.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget& widget) : widget_(widget) { widget.installEventFilter(this); }
    ~PaintRecorder() override { widget_.removeEventFilter(this); }
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }
    bool painted(const QRect& r) const { return std::find(rects.begin(), rects.end(), r) != rects.end(); }
    std::vector<QRect> rects;

private:
    QWidget& widget_;
};

class CanvasWindowTest : public EditorFixture {
protected:
    // The colour the canvas window shows at a client point.
    QColor shown(int x, int y) { return canvas().clientImage().pixelColor(x, y); }
    QColor shownCell(int x, int y) {
        const QPoint p = cellCentre(x, y) - QPoint(CLogoWnd::kBorder, CLogoWnd::kBorder);
        return shown(p.x(), p.y());
    }
    void tapPalette(QPoint at) {
        sendMouse(palette(), QEvent::MouseButtonPress, at, Qt::LeftButton);
        sendMouse(palette(), QEvent::MouseButtonRelease, at, Qt::NoButton);
    }
    // After any editing step the screen must equal a full repaint of the state.
    void expectScreenMatchesAFullRepaint() {
        const QImage before = canvas().clientImage().copy();
        editor().redrawAll();
        EXPECT_EQ(before, canvas().clientImage());
    }
    const Canvas& operatorCanvas() { return app->document().operatorCanvas; }
};

TEST_F(CanvasWindowTest, APenStrokeSetsEachCellAndItsPreviewPixelAtOnce) {
    PaintRecorder canvasPaints(canvas());
    PaintRecorder viewPaints(view());
    sendMouse(canvas(), QEvent::MouseButtonPress, cellCentre(3, 2), Qt::LeftButton);
    // Painted before the press returned: the cell's square and the one preview pixel.
    EXPECT_TRUE(canvasPaints.painted(QRect(1 + 30, 1 + 20, 10, 10)));
    EXPECT_TRUE(viewPaints.painted(QRect(87, 162, 1, 1)));
    EXPECT_EQ(shownCell(3, 2), kBlack);
    EXPECT_TRUE(operatorCanvas().isSet(3, 2));

    // A quick move leaves no gap: the cells between are painted too, each
    // at once with its preview pixel.
    sendMouse(canvas(), QEvent::MouseMove, cellCentre(6, 2), Qt::LeftButton);
    EXPECT_TRUE(canvasPaints.painted(QRect(1 + 40, 1 + 20, 10, 10)));
    EXPECT_TRUE(viewPaints.painted(QRect(88, 162, 1, 1)));
    sendMouse(canvas(), QEvent::MouseMove, cellCentre(6, 30), Qt::LeftButton);  // below the window: to the edge
    sendMouse(canvas(), QEvent::MouseButtonRelease, cellCentre(6, 30), Qt::NoButton);
    for (int x = 3; x <= 6; ++x) EXPECT_TRUE(operatorCanvas().isSet(x, 2)) << x;
    for (int y = 2; y < 14; ++y) EXPECT_TRUE(operatorCanvas().isSet(6, y)) << y;
    EXPECT_FALSE(operatorCanvas().isSet(7, 2));
    EXPECT_FALSE(editor().tracking());
    const QImage preview = viewImage();
    EXPECT_EQ(preview.pixelColor(87, 162), kBlack);
    EXPECT_EQ(preview.pixelColor(88, 162), kBlack);
    EXPECT_EQ(preview.pixelColor(91, 162), kPreviewGrey);
    EXPECT_EQ(preview.pixelColor(90, 173), kBlack);

    // The eraser, chosen on the palette, clears to the checkerboard.
    tapPalette(QPoint(50, 10));
    ASSERT_EQ(palette().currentTool(), Tool::Eraser);
    stroke({cellCentre(3, 2)});
    EXPECT_FALSE(operatorCanvas().isSet(3, 2));
    EXPECT_EQ(shownCell(3, 2), kWhite);
    EXPECT_EQ(viewImage().pixelColor(87, 162), kPreviewGrey);
    // Moves without a held button are not strokes.
    sendMouse(canvas(), QEvent::MouseMove, cellCentre(6, 2), Qt::NoButton);
    EXPECT_TRUE(operatorCanvas().isSet(6, 2));
}

TEST_F(CanvasWindowTest, PenInsideALiftedSelectionDrawsNormalColoursUntilRepaintedAndSurvivesTheDrag) {
    frame().action(command::kToolSelection)->trigger();
    stroke({cellCentre(2, 2), cellCentre(5, 4)});
    ASSERT_EQ(editor().selection(), (Rect{2, 2, 6, 5}));
    EXPECT_EQ(shownCell(3, 3), kDarkCyan);
    EXPECT_EQ(shownCell(3, 2), kCyan);
    EXPECT_EQ(shownCell(6, 3), kWhite);
    expectScreenMatchesAFullRepaint();

    frame().action(command::kToolPen)->trigger();
    stroke({cellCentre(3, 3)});
    EXPECT_EQ(shownCell(3, 3), kBlack);  // not the selection's dark blue, yet
    editor().redrawAll();
    EXPECT_EQ(shownCell(3, 3), kDarkBlue);

    // Dragging the selection one cell right carries the new stroke along.
    frame().action(command::kToolSelection)->trigger();
    stroke({cellCentre(3, 3), cellCentre(4, 3)});
    EXPECT_EQ(editor().selection(), (Rect{3, 2, 7, 5}));
    EXPECT_TRUE(operatorCanvas().isSet(4, 3));
    EXPECT_FALSE(operatorCanvas().isSet(3, 3));
    EXPECT_EQ(shownCell(4, 3), kDarkBlue);
    EXPECT_EQ(viewImage().pixelColor(88, 163), kBlack);
    expectScreenMatchesAFullRepaint();
}

TEST_F(CanvasWindowTest, PanScrollsWhatIsShownAndPaintsTheUncoveredStrip) {
    stroke({cellCentre(5, 1)});
    frame().action(command::kToolMoving)->trigger();
    PaintRecorder canvasPaints(canvas());
    stroke({QPoint(100, 60), QPoint(75, 60), QPoint(75, 20)});
    // Beside the scroll bars the client is 204 x 124: vertically only 16
    // pixels to go at cell size 10.
    EXPECT_EQ(editor().origin(), (Point{25, 16}));
    EXPECT_EQ(shown(30, 2), kBlack);                                // cell (5, 1) moved 25 left, 16 up
    EXPECT_TRUE(canvasPaints.painted(QRect(1 + 179, 1, 25, 124)));  // the strip uncovered at the right
    expectScreenMatchesAFullRepaint();
    EXPECT_EQ(shown(203, 123), kWhite);  // cell (22, 13), painted with the strip below
}

TEST_F(CanvasWindowTest, ADoubleClickIsAPressOnTheCanvasButNothingOnThePalette) {
    sendMouse(canvas(), QEvent::MouseButtonDblClick, cellCentre(7, 1), Qt::LeftButton);
    sendMouse(canvas(), QEvent::MouseButtonRelease, cellCentre(7, 1), Qt::NoButton);
    EXPECT_TRUE(operatorCanvas().isSet(7, 1));

    // A double-click on zoom in: press, release, double-click, release.
    const QPoint zoomIn(160, 50);
    tapPalette(zoomIn);
    sendMouse(palette(), QEvent::MouseButtonDblClick, zoomIn, Qt::LeftButton);
    sendMouse(palette(), QEvent::MouseButtonRelease, zoomIn, Qt::NoButton);
    EXPECT_EQ(editor().cellSize(), 11);
    EXPECT_EQ(shown(5, 5), kSilver);
    EXPECT_EQ(shown(12, 5), kWhite);  // cell (1, 0) begins at 11
    tapPalette(QPoint(195, 50));
    EXPECT_EQ(editor().cellSize(), 10);

    tapPalette(QPoint(140, 20));
    EXPECT_EQ(palette().currentTool(), Tool::Selection);
    tapPalette(QPoint(220, 10));  // beyond the first row's last button: ignored
    EXPECT_EQ(palette().currentTool(), Tool::Selection);
    tapPalette(QPoint(10, 35));  // below the pen button
    EXPECT_EQ(palette().currentTool(), Tool::Pen);
    tapPalette(QPoint(10, 60));  // the second row
    EXPECT_EQ(palette().currentTool(), Tool::Line);
}

TEST_F(CanvasWindowTest, SetCanvasKindResetsOriginAndSelectionButKeepsCellSizeAndTool) {
    tapPalette(QPoint(160, 50));
    tapPalette(QPoint(160, 50));
    frame().action(command::kToolMoving)->trigger();
    stroke({QPoint(100, 60), QPoint(60, 60)});
    editor().setSelection({1, 1, 3, 3});
    ASSERT_EQ(editor().origin(), (Point{40, 0}));
    app->document().pictureCanvas.set(0, 0, true);

    frame().action(command::kViewPicture)->trigger();
    EXPECT_EQ(editor().kind(), LogoKind::Picture);
    EXPECT_EQ(editor().origin(), (Point{0, 0}));
    EXPECT_TRUE(editor().selection().isEmpty());
    EXPECT_EQ(editor().cellSize(), 12);
    EXPECT_EQ(palette().currentTool(), Tool::Moving);
    EXPECT_EQ(shown(5, 5), kBlack);     // picture cell (0, 0)
    EXPECT_EQ(shown(17, 5), kWhite);    // cell (1, 0) at cell size 12
    EXPECT_EQ(shown(17, 17), kSilver);  // cell (1, 1), no longer selected
    expectScreenMatchesAFullRepaint();
}

TEST_F(CanvasWindowTest, ThePreviewFrameHasItsFourLinesForEachKind) {
    struct Case {
        int item;
        int width, height;
    };
    // Picture first, so that the smaller frames must also clear what it left.
    for (const Case c : {Case{command::kViewPicture, 72, 28}, Case{command::kViewLargeOperator, 78, 21},
                         Case{command::kViewOperator, 72, 14}}) {
        frame().action(c.item)->trigger();
        const QImage image = viewImage();
        const int right = c.width + 85, bottom = c.height + 161;
        for (int x = 82; x <= right; ++x) {
            EXPECT_EQ(image.pixelColor(x, 158), kBlack) << x;
            EXPECT_EQ(image.pixelColor(x, bottom), kBlack) << x;
        }
        for (int y = 158; y <= bottom; ++y) {
            EXPECT_EQ(image.pixelColor(82, y), kBlack) << y;
            EXPECT_EQ(image.pixelColor(right, y), kBlack) << y;
        }
        // The one-pixel gap, the preview's corners and what lies outside.
        EXPECT_EQ(image.pixelColor(83, 159), kWhite);
        EXPECT_EQ(image.pixelColor(right - 1, bottom - 1), kWhite);
        EXPECT_EQ(image.pixelColor(84, 160), kPreviewGrey);
        EXPECT_EQ(image.pixelColor(83 + c.width, 159 + c.height), kPreviewGrey);
        EXPECT_EQ(image.pixelColor(right + 1, 170), kWhite);
        EXPECT_EQ(image.pixelColor(100, bottom + 1), kWhite);
        EXPECT_EQ(image.pixelColor(81, 158), kWhite);
    }
}

}  // namespace
}  // namespace pelorin::testing
