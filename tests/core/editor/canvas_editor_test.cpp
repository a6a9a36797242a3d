#include "editor/canvas_editor.h"

#include <gtest/gtest.h>

#include <vector>

#include "editor/layout.h"

namespace pelorin {
namespace {

// Records every call the editing logic makes on the screen.
struct RecordingSurface : DrawingSurface {
    struct Fill {
        Rect rect;
        Rgb colour;
    };
    std::vector<Fill> fills;
    std::vector<Rect> repaints;
    std::vector<Point> scrolls;
    std::vector<std::pair<Point, Rgb>> previewPixels;
    std::vector<Rect> previewRepaints;

    void fillCell(const Rect& r, Rgb c) override { fills.push_back({r, c}); }
    void repaintNow(const Rect& r) override { repaints.push_back(r); }
    void scrollContent(int dx, int dy) override { scrolls.push_back({dx, dy}); }
    void setPreviewPixel(Point p, Rgb c) override { previewPixels.emplace_back(p, c); }
    void repaintPreviewNow(const Rect& r) override { previewRepaints.push_back(r); }
    void clear() { *this = RecordingSurface{}; }
};

struct EditorTest : ::testing::Test {
    CPelorinDoc doc;
    RecordingSurface surface;
    CanvasEditor editor{doc, surface};

    Canvas& canvas() { return doc.canvas(editor.kind()); }
    // The client point at the centre of a cell, for the current zoom and pan.
    Point centreOf(int x, int y) const {
        const int c = editor.cellSize();
        return {x * c + c / 2 - editor.origin().x, y * c + c / 2 - editor.origin().y};
    }
    // A whole stroke with the selection tool from one cell to another.
    void selectCells(int x0, int y0, int x1, int y1) {
        editor.stylusDown(centreOf(x0, y0), Tool::Selection);
        editor.stylusMove(centreOf(x1, y1), Tool::Selection);
        editor.stylusUp(centreOf(x1, y1), Tool::Selection);
    }
    void dragCells(int fromX, int fromY, int toX, int toY) {
        editor.stylusDown(centreOf(fromX, fromY), Tool::Selection);
        editor.stylusMove(centreOf(toX, toY), Tool::Selection);
        editor.stylusUp(centreOf(toX, toY), Tool::Selection);
    }
    // Pans as far as it goes in one direction with the moving tool.
    Point panFully(int stepX, int stepY) {
        Point p{100, 60};
        editor.stylusDown(p, Tool::Moving);
        for (int i = 0; i < 400; ++i) {
            p = {p.x - stepX, p.y - stepY};
            editor.stylusMove(p, Tool::Moving);
        }
        editor.stylusUp(p, Tool::Moving);
        return editor.origin();
    }
};

TEST_F(EditorTest, CellGeometryAndColoursAtStart) {
    EXPECT_EQ(editor.cellAt({0, 0}), (Point{0, 0}));
    EXPECT_EQ(editor.cellAt({217, 137}), (Point{21, 13}));
    EXPECT_EQ(editor.cellRect({21, 13, 22, 14}), (Rect{210, 130, 220, 140}));
    EXPECT_EQ(editor.cellColour(0, 0), colour::kSilver);
    EXPECT_EQ(editor.cellColour(1, 0), colour::kWhite);
    canvas().set(2, 0, true);
    editor.setSelection({1, 0, 3, 1});
    EXPECT_EQ(editor.cellColour(1, 0), colour::kCyan);
    EXPECT_EQ(editor.cellColour(2, 0), colour::kDarkBlue);
    EXPECT_EQ(editor.cellColour(3, 1), colour::kSilver);
}

TEST_F(EditorTest, PaintFillsOnlyCellsOfTheCanvasThatMeetTheArea) {
    struct Collect : CellPainter {
        std::vector<Rect> rects;
        void fill(const Rect& r, Rgb) override { rects.push_back(r); }
    } painter;
    editor.paint(kLogoClientRect, painter);
    EXPECT_EQ(painter.rects.size(), 22u * 14u);  // column 21 and row 13 are cut by the edge
    painter.rects.clear();
    editor.paint({15, 15, 16, 16}, painter);
    ASSERT_EQ(painter.rects.size(), 1u);
    EXPECT_EQ(painter.rects[0], (Rect{10, 10, 20, 20}));
    // Kind 1 is 14 rows (140 pixels) tall: at cell size 4 everything below
    // y = 56 and right of x = 288 is white background.
    painter.rects.clear();
    editor.setCellSize(4);
    editor.paint({0, 60, 218, 138}, painter);
    EXPECT_TRUE(painter.rects.empty());
}

TEST_F(EditorTest, PanLimitsForEachKindAtCellSize10) {
    struct Case {
        LogoKind kind;
        Point max;
    };
    for (const Case& c : {Case{LogoKind::Operator, {502, 2}}, Case{LogoKind::Picture, {502, 142}},
                          Case{LogoKind::LargeOperator, {562, 72}}}) {
        editor.setCanvasKind(c.kind);
        EXPECT_EQ(panFully(7, 3), c.max) << static_cast<int>(c.kind);
        EXPECT_EQ(panFully(-7, -3), (Point{0, 0})) << static_cast<int>(c.kind);
    }
}

TEST_F(EditorTest, NoVerticalPanWhereTheCanvasFitsTheWindow) {
    struct Case {
        LogoKind kind;
        int largestFittingCellSize;
    };
    for (const Case& c : {Case{LogoKind::Operator, 9}, Case{LogoKind::LargeOperator, 6}, Case{LogoKind::Picture, 4}}) {
        editor.setCanvasKind(c.kind);
        editor.setCellSize(c.largestFittingCellSize);
        EXPECT_EQ(panFully(0, 5).y, 0) << static_cast<int>(c.kind);
        editor.setCellSize(c.largestFittingCellSize + 1);
        EXPECT_GT(panFully(0, 5).y, 0) << static_cast<int>(c.kind);
        editor.setCanvasKind(c.kind);
    }
    editor.setCellSize(4);  // 72 x 4 = 288 is still wider than the window
    EXPECT_EQ(panFully(5, 0).x, 288 - 218);
}

TEST_F(EditorTest, PanCutToZeroChangesNothingNotEvenLastPoint) {
    editor.stylusDown({100, 60}, Tool::Moving);
    surface.clear();
    editor.stylusMove({120, 70}, Tool::Moving);  // right and down at the top-left end
    EXPECT_EQ(editor.origin(), (Point{0, 0}));
    EXPECT_EQ(editor.lastPoint(), (Point{100, 60}));
    EXPECT_TRUE(surface.scrolls.empty());
    EXPECT_TRUE(surface.repaints.empty());
}

TEST_F(EditorTest, PanMovesTheScreenAndRepaintsOnlyTheExposedStrips) {
    editor.setCanvasKind(LogoKind::Picture);
    editor.stylusDown({100, 60}, Tool::Moving);
    surface.clear();
    editor.stylusMove({93, 55}, Tool::Moving);  // dx 7, dy 5
    EXPECT_EQ(editor.origin(), (Point{7, 5}));
    ASSERT_EQ(surface.scrolls.size(), 1u);
    EXPECT_EQ(surface.scrolls[0], (Point{-7, -5}));
    EXPECT_EQ(surface.repaints, (std::vector<Rect>{{0, 133, 218, 138}, {211, 0, 218, 138}}));

    surface.clear();
    editor.stylusMove({96, 55}, Tool::Moving);  // back left by 3, no vertical move
    EXPECT_EQ(editor.origin(), (Point{4, 5}));
    EXPECT_EQ(surface.scrolls[0], (Point{3, 0}));
    EXPECT_EQ(surface.repaints, (std::vector<Rect>{{0, 0, 3, 138}}));
}

TEST_F(EditorTest, ZoomStepsScaleTheOriginInSinglePrecision) {
    editor.setOrigin({50, 0});
    editor.zoomIn();
    EXPECT_EQ(editor.cellSize(), 11);
    EXPECT_EQ(editor.origin(), (Point{55, 0}));

    editor.setCellSize(10);
    editor.setOrigin({502, 0});
    editor.zoomOut();  // beyond the new limit 430: white columns show at the right
    EXPECT_EQ(editor.cellSize(), 9);
    EXPECT_EQ(editor.origin().x, 451);

    editor.setCellSize(10);
    int steps = 0;
    for (; steps < 20 && editor.cellSize() < 15; ++steps) editor.zoomIn();
    EXPECT_EQ(steps, 5);
    editor.zoomIn();
    EXPECT_EQ(editor.cellSize(), 15);
    editor.setCellSize(10);
    for (steps = 0; steps < 20 && editor.cellSize() > 4; ++steps) editor.zoomOut();
    EXPECT_EQ(steps, 6);
    editor.zoomOut();
    EXPECT_EQ(editor.cellSize(), 4);
}

TEST_F(EditorTest, PaletteTapsPickByRowAndColumnAndZoomButtonsByRectangle) {
    ToolPalette palette;
    EXPECT_EQ(palette.frameRect(), (Rect{0, 0, 36, 36}));
    EXPECT_EQ(palette.imageSlot(0), 1);
    EXPECT_EQ(palette.imageSlot(3), 6);
    struct Case {
        Point at;
        ToolPalette::TapResult result;
        Tool tool;  // the current tool afterwards
    };
    using R = ToolPalette::TapResult;
    const Case cases[] = {
        {{140, 20}, R::ToolChosen, Tool::Selection},  // 140 / 36 = 3
        {{10, 35}, R::ToolChosen, Tool::Pen},         // below the pen button, still the first row
        {{10, 36}, R::ToolChosen, Tool::Line},        // the second row begins at y = 36
        {{37, 69}, R::ToolChosen, Tool::Rectangle},   // in the gap left of the button
        {{105, 50}, R::ToolChosen, Tool::Fill},
        {{120, 50}, R::Text, Tool::Fill},     // the Text button: a command, the tool stays
        {{220, 10}, R::Ignored, Tool::Fill},  // beyond the first row's last button
        {{146, 38}, R::ZoomIn, Tool::Fill},
        {{213, 69}, R::ZoomOut, Tool::Fill},
        {{214, 69}, R::Ignored, Tool::Fill},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(palette.tap(c.at), c.result) << c.at.x << "," << c.at.y;
        EXPECT_EQ(palette.currentTool(), c.tool) << c.at.x << "," << c.at.y;
    }
    EXPECT_EQ(palette.frameRect(), (Rect{72, 36, 108, 70}));  // cut at the palette's bottom
    EXPECT_EQ(palette.imageSlot(6), 13);
}

TEST_F(EditorTest, PenDrawsOneCellAndItsPreviewPixelAtOnce) {
    editor.stylusDown(centreOf(3, 2), Tool::Pen);
    EXPECT_TRUE(canvas().isSet(3, 2));
    ASSERT_EQ(surface.fills.size(), 1u);
    EXPECT_EQ(surface.fills[0].rect, (Rect{30, 20, 40, 30}));
    EXPECT_EQ(surface.fills[0].colour, colour::kBlack);
    ASSERT_EQ(surface.previewPixels.size(), 1u);
    EXPECT_EQ(surface.previewPixels[0].first, (Point{87, 162}));
    EXPECT_TRUE(surface.repaints.empty());

    surface.clear();
    editor.stylusUp(centreOf(3, 2), Tool::Pen);
    editor.stylusDown(centreOf(4, 2), Tool::Eraser);
    editor.stylusMove({800, 20}, Tool::Eraser);  // beyond the last column: the line stops at the edge
    editor.stylusUp({800, 20}, Tool::Eraser);
    ASSERT_EQ(surface.fills.size(), 68u);                 // columns 4 to 71
    EXPECT_EQ(surface.fills[0].colour, colour::kSilver);  // 4 + 2 is even
    EXPECT_EQ(surface.previewPixels[0].second, colour::kPreviewGrey);
    EXPECT_EQ(surface.previewPixels.back().first, (Point{84 + 71, 162}));
    EXPECT_TRUE(canvas().isSet(3, 2));
}

TEST_F(EditorTest, ASelectionDrawnInAnyDirectionSpansItsTwoCorners) {
    canvas().set(5, 3, true);
    struct Case {
        Point from, to;
    };
    for (const Case& c : {Case{{5, 3}, {2, 1}}, Case{{2, 1}, {5, 3}}, Case{{5, 1}, {2, 3}}, Case{{2, 3}, {5, 1}}}) {
        editor.hideSelection();
        selectCells(c.from.x, c.from.y, c.to.x, c.to.y);
        EXPECT_EQ(editor.selection(), (Rect{2, 1, 6, 4})) << c.from.x << "," << c.from.y;
        EXPECT_EQ(editor.floating()[3 * CanvasEditor::kBufferStride + 2], 1);  // (5, 3) lifted
        EXPECT_EQ(editor.background()[5 * 14 + 3], 0);
        EXPECT_TRUE(canvas().isSet(5, 3));
    }
    // Back across the anchor: the strips repaint what left and what joined.
    editor.stylusDown(centreOf(5, 3), Tool::Moving);  // no gesture of the selection tool
    editor.stylusUp(centreOf(5, 3), Tool::Moving);
    editor.hideSelection();
    editor.stylusDown(centreOf(4, 2), Tool::Selection);
    editor.stylusMove(centreOf(6, 2), Tool::Selection);
    surface.clear();
    editor.stylusMove(centreOf(2, 2), Tool::Selection);
    EXPECT_EQ(editor.selection(), (Rect{2, 2, 5, 3}));
    EXPECT_EQ(surface.repaints, (std::vector<Rect>{{20, 20, 40, 30}, {50, 20, 70, 30}}));
    // Far left of the canvas the selection stops at column 0.
    editor.stylusMove({-300, 25}, Tool::Selection);
    EXPECT_EQ(editor.selection().left, 0);
}

TEST_F(EditorTest, DrawingASelectionRepaintsTwoStripsAndScrollsPastTheEdge) {
    editor.stylusDown(centreOf(1, 1), Tool::Selection);
    EXPECT_EQ(surface.repaints, (std::vector<Rect>{{10, 10, 20, 20}}));
    surface.clear();
    editor.stylusMove(centreOf(3, 2), Tool::Selection);
    EXPECT_EQ(surface.repaints, (std::vector<Rect>{{20, 10, 40, 30}, {10, 20, 40, 30}}));
    surface.clear();
    editor.stylusMove({230, 25}, Tool::Selection);  // right of the window: one cell of scroll
    EXPECT_EQ(editor.selection(), (Rect{1, 1, 24, 3}));
    EXPECT_EQ(editor.origin(), (Point{10, 0}));
    EXPECT_EQ(surface.scrolls, (std::vector<Point>{{-10, 0}}));
}

TEST_F(EditorTest, SelectionDragRepaintsOldAndNewRectanglesExactly) {
    for (int x = 2; x < 4; ++x) canvas().set(x, 1, true);
    selectCells(2, 1, 3, 2);  // cells (2..3, 1..2)
    EXPECT_EQ(editor.selection(), (Rect{2, 1, 4, 3}));
    surface.clear();
    dragCells(2, 1, 5, 2);  // three right, one down
    EXPECT_EQ(editor.selection(), (Rect{5, 2, 7, 4}));
    EXPECT_EQ(surface.repaints, (std::vector<Rect>{{20, 10, 40, 30}, {50, 20, 70, 40}}));
    EXPECT_EQ(surface.previewRepaints, (std::vector<Rect>{{86, 161, 88, 163}, {89, 162, 91, 164}}));
    EXPECT_FALSE(canvas().isSet(2, 1));
    EXPECT_TRUE(canvas().isSet(5, 2) && canvas().isSet(6, 2));
    EXPECT_FALSE(canvas().isSet(5, 3));
}

TEST_F(EditorTest, CopyLandsAtTheFirstWhollyVisibleColumnAndDeleteClearsOnlyTheCopy) {
    canvas().set(0, 0, true);
    canvas().set(1, 1, true);
    selectCells(0, 0, 1, 1);
    editor.setOrigin({25, 0});
    editor.copySelection();
    EXPECT_EQ(editor.selection(), (Rect{3, 0, 5, 2}));
    EXPECT_TRUE(canvas().isSet(3, 0) && canvas().isSet(4, 1));
    editor.deleteSelection();
    EXPECT_TRUE(editor.selection().isEmpty());
    EXPECT_FALSE(canvas().isSet(3, 0) || canvas().isSet(4, 1));
    EXPECT_TRUE(canvas().isSet(0, 0) && canvas().isSet(1, 1));
}

TEST_F(EditorTest, OverhangingCopyIsPulledBackInsideByTheFirstDrag) {
    for (int x = 0; x < 10; ++x) canvas().set(x, 0, true);
    selectCells(0, 0, 9, 0);
    editor.setCellSize(4);
    editor.setOrigin({277, 0});  // first wholly visible column 70
    editor.copySelection();
    EXPECT_EQ(editor.selection(), (Rect{70, 0, 80, 1}));
    editor.setCellSize(10);
    editor.setOrigin({502, 0});
    dragCells(70, 0, 71, 0);
    EXPECT_EQ(editor.selection(), (Rect{62, 0, 72, 1}));
    for (int x = 62; x < 72; ++x) EXPECT_TRUE(canvas().isSet(x, 0)) << x;
}

TEST_F(EditorTest, StrokesMadeWhileASelectionIsLiftedSurviveTheNextDrag) {
    canvas().set(10, 5, true);
    selectCells(10, 5, 11, 6);
    editor.stylusDown(centreOf(0, 0), Tool::Pen);   // outside the selection
    editor.stylusDown(centreOf(11, 6), Tool::Pen);  // inside it
    editor.stylusDown(centreOf(10, 5), Tool::Eraser);
    dragCells(10, 5, 12, 5);
    EXPECT_TRUE(canvas().isSet(0, 0));
    EXPECT_TRUE(canvas().isSet(13, 6));   // the pen's cell moved with the selection
    EXPECT_FALSE(canvas().isSet(12, 5));  // so did the erased one
    EXPECT_FALSE(canvas().isSet(11, 6));  // the old place shows the background
}

TEST_F(EditorTest, ADroppedSelectionCannotStampAnOldPictureOverANewOne) {
    canvas().set(1, 1, true);
    selectCells(0, 0, 2, 2);
    // A document command fills the picture canvas and makes it current.
    doc.canvas(LogoKind::Picture).set(40, 20, true);
    editor.setKindOnly(LogoKind::Picture);
    editor.dropSelection();
    const Canvas before = canvas();
    dragCells(1, 1, 3, 3);  // a new, one-cell selection; no drag
    EXPECT_EQ(canvas(), before);
    EXPECT_EQ(editor.selection(), (Rect{1, 1, 4, 4}));
}

TEST_F(EditorTest, SetCanvasKindResetsOriginAndSelectionButKeepsTheZoom) {
    editor.setCellSize(12);
    editor.setOrigin({40, 2});
    editor.setSelection({1, 1, 3, 3});
    surface.clear();
    editor.setCanvasKind(LogoKind::Picture);
    EXPECT_EQ(editor.origin(), (Point{0, 0}));
    EXPECT_TRUE(editor.selection().isEmpty());
    EXPECT_EQ(editor.cellSize(), 12);
    EXPECT_EQ(surface.repaints, (std::vector<Rect>{kLogoClientRect}));
    EXPECT_EQ(surface.previewRepaints, (std::vector<Rect>{{82, 158, 158, 190}}));
    EXPECT_EQ(previewFrameRect(LogoKind::LargeOperator), (Rect{82, 158, 164, 183}));
}

}  // namespace
}  // namespace pelorin
