#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "editor/canvas_editor.h"
#include "editor/fill_pattern.h"
#include "editor/shapes.h"

namespace pelorin {
namespace {

struct QuietSurface : DrawingSurface {
    void fillCell(const Rect&, Rgb) override {}
    void repaintNow(const Rect&) override {}
    void scrollContent(int, int) override {}
    void setPreviewPixel(Point, Rgb) override {}
    void repaintPreviewNow(const Rect&) override {}
};

using Cells = std::set<std::pair<int, int>>;

Cells cellsOf(const std::vector<Point>& points) {
    Cells cells;
    for (const Point p : points) cells.insert({p.x, p.y});
    return cells;
}

// The rows of a rectangle of the canvas as '#' and '.'.
std::vector<std::string> rowsOf(const Canvas& canvas, Rect r) {
    std::vector<std::string> rows;
    for (int y = r.top; y < r.bottom; ++y) {
        std::string row;
        for (int x = r.left; x < r.right; ++x) row += canvas.isSet(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

struct DrawingToolsTest : ::testing::Test {
    CPelorinDoc doc;
    QuietSurface surface;
    CanvasEditor editor{doc, surface};

    Canvas& canvas() { return doc.canvas(editor.kind()); }
    Point centreOf(Point cell) const {
        const int c = editor.cellSize();
        return {cell.x * c + c / 2 - editor.origin().x, cell.y * c + c / 2 - editor.origin().y};
    }
    void gesture(Tool tool, std::vector<Point> cells, StylusInput input = {}) {
        editor.stylusDown(centreOf(cells.front()), tool, input);
        for (std::size_t i = 1; i < cells.size(); ++i) editor.stylusMove(centreOf(cells[i]), tool, input);
        editor.stylusUp(centreOf(cells.back()), tool, input);
    }
    void options(bool filled, bool mirrorH, bool mirrorV, FillPattern pattern = FillPattern::Solid) {
        editor.setDrawingOptions({filled, mirrorH, mirrorV, pattern});
    }
    Cells setCells() {
        Cells cells;
        for (int x = 0; x < canvas().width(); ++x)
            for (int y = 0; y < canvas().height(); ++y)
                if (canvas().isSet(x, y)) cells.insert({x, y});
        return cells;
    }
};

TEST(ShapesTest, EllipsesFillTheirBoxSymmetrically) {
    // Odd and even sizes, a flat one and a single cell.
    EXPECT_EQ(cellsOf(ellipseOutline({0, 0}, {4, 4})),
              (Cells{{0, 1}, {0, 2}, {0, 3}, {1, 0}, {1, 4}, {2, 0}, {2, 4}, {3, 0}, {3, 4}, {4, 1}, {4, 2}, {4, 3}}));
    EXPECT_EQ(cellsOf(ellipseOutline({5, 1}, {0, 0})),  // corners in any order
              (Cells{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}, {3, 0}, {3, 1}, {4, 0}, {4, 1}, {5, 0}, {5, 1}}));
    EXPECT_EQ(cellsOf(ellipseOutline({0, 0}, {0, 3})), (Cells{{0, 0}, {0, 1}, {0, 2}, {0, 3}}));
    EXPECT_EQ(cellsOf(ellipseOutline({2, 2}, {2, 2})), (Cells{{2, 2}}));
    // Every outline is its own mirror image, both ways, and touches all four sides.
    for (const Point corner : {Point{7, 3}, Point{10, 6}, Point{13, 9}, Point{20, 5}}) {
        const Cells cells = cellsOf(ellipseOutline({0, 0}, corner));
        for (const auto& [x, y] : cells) {
            EXPECT_TRUE(cells.count({corner.x - x, y})) << corner.x << "x" << corner.y;
            EXPECT_TRUE(cells.count({x, corner.y - y})) << corner.x << "x" << corner.y;
        }
        EXPECT_EQ(boundsOf(ellipseOutline({0, 0}, corner)), (Rect{0, 0, corner.x + 1, corner.y + 1}));
    }
    // Filled shapes are cut to the clip, however far the box reaches.
    EXPECT_EQ(filledRectangle({-5000, -5000}, {5000, 5000}, {0, 0, 72, 14}).size(), 72u * 14u);
    EXPECT_EQ(cellsOf(filledEllipse({0, 0}, {4, 4}, {0, 0, 72, 14})).size(), 21u);
    EXPECT_EQ(filledEllipse({-4000, -4000}, {4000, 4000}, {0, 0, 72, 14}).size(), 72u * 14u);
}

TEST(NewToolButtonsTest, SitInTheFirstRowAboveTheZoomButtons) {
    ToolPalette palette;
    using R = ToolPalette::TapResult;
    EXPECT_EQ(palette.tap({150, 10}), R::ToolChosen);
    EXPECT_EQ(palette.currentTool(), Tool::Ellipse);
    EXPECT_EQ(palette.frameRect(), (Rect{144, 0, 180, 36}));
    EXPECT_EQ(palette.tap({181, 35}), R::ToolChosen);
    EXPECT_EQ(palette.currentTool(), Tool::InvertPen);
    EXPECT_EQ(palette.frameRect(), (Rect{180, 0, 216, 36}));
    EXPECT_EQ(palette.imageSlot(8), 17);
    EXPECT_EQ(palette.tap({160, 40}), R::ZoomIn) << "the second row keeps its zoom buttons";
}

TEST_F(DrawingToolsTest, EllipseToolDrawsOutlinesFilledShapesAndCircles) {
    gesture(Tool::Ellipse, {{1, 1}, {3, 2}, {5, 5}});
    EXPECT_EQ(rowsOf(canvas(), {0, 0, 7, 7}),
              (std::vector<std::string>{".......", "..###..", ".#...#.", ".#...#.", ".#...#.", "..###..", "......."}));
    // Shift keeps it a circle: the box's larger side.
    gesture(Tool::Ellipse, {{20, 1}, {24, 3}}, {.clear = false, .constrain = true});
    std::vector<Point> circle;
    for (const auto& [x, y] : setCells())
        if (x >= 20) circle.push_back({x, y});
    EXPECT_EQ(boundsOf(circle), (Rect{20, 1, 25, 6}));
    EXPECT_EQ(cellsOf(circle), cellsOf(ellipseOutline({20, 1}, {24, 5})));

    options(true, false, false);
    gesture(Tool::Rectangle, {{40, 2}, {43, 4}});
    EXPECT_EQ(rowsOf(canvas(), {40, 2, 44, 5}), (std::vector<std::string>{"####", "####", "####"}));
    gesture(Tool::Ellipse, {{50, 0}, {54, 4}});
    EXPECT_EQ(rowsOf(canvas(), {50, 0, 55, 5}),
              (std::vector<std::string>{".###.", "#####", "#####", "#####", ".###."}));
    // A line is a line, filled or not; the right button clears a filled shape.
    gesture(Tool::Rectangle, {{40, 2}, {43, 3}}, {.clear = true, .constrain = false});
    EXPECT_EQ(rowsOf(canvas(), {40, 2, 44, 5}), (std::vector<std::string>{"....", "....", "####"}));
    EXPECT_EQ(editor.history().undoCount(), 5u);
}

TEST_F(DrawingToolsTest, MirrorsDrawEveryToolReflectedInTheSameStep) {
    const int right = canvas().width() - 1;    // 71
    const int bottom = canvas().height() - 1;  // 13
    options(false, true, false);
    gesture(Tool::Pen, {{3, 2}, {5, 2}});
    EXPECT_EQ(setCells(), (Cells{{3, 2}, {4, 2}, {5, 2}, {right - 3, 2}, {right - 4, 2}, {right - 5, 2}}));
    ASSERT_EQ(editor.history().undoCount(), 1u);
    editor.undo();
    EXPECT_TRUE(setCells().empty()) << "one undo takes back both halves";

    options(false, true, true);
    gesture(Tool::Line, {{0, 0}, {2, 0}});
    EXPECT_EQ(setCells(), (Cells{{0, 0},
                                 {1, 0},
                                 {2, 0},
                                 {right, 0},
                                 {right - 1, 0},
                                 {right - 2, 0},
                                 {0, bottom},
                                 {1, bottom},
                                 {2, bottom},
                                 {right, bottom},
                                 {right - 1, bottom},
                                 {right - 2, bottom}}));
    // The eraser clears the reflections too.
    gesture(Tool::Eraser, {{1, 0}, {1, 0}});
    EXPECT_FALSE(canvas().isSet(right - 1, bottom));
    EXPECT_TRUE(canvas().isSet(right, bottom));

    // A fill in the top-left corner region of a vertical wall fills the
    // mirrored region on the other side as well.
    for (auto& v : canvas().values()) v = 0;
    options(false, true, false);
    for (int y = 0; y <= bottom; ++y) canvas().set(10, y, true);
    gesture(Tool::Fill, {{2, 5}});
    EXPECT_TRUE(canvas().isSet(0, 0));
    EXPECT_TRUE(canvas().isSet(right, bottom)) << "the reflected start is right of the wall";
}

TEST_F(DrawingToolsTest, InvertPenFlipsEachCellOnceAStrokeAndMirrors) {
    canvas().set(2, 2, true);
    // Right along row 2, back left over the same cells, then down.
    gesture(Tool::InvertPen, {{0, 2}, {4, 2}, {1, 2}, {1, 4}});
    EXPECT_EQ(rowsOf(canvas(), {0, 1, 6, 5}), (std::vector<std::string>{"......", "##.##.", ".#....", ".#...."}));
    EXPECT_EQ(editor.history().undoCount(), 1u);
    // A second stroke flips them back.
    gesture(Tool::InvertPen, {{0, 2}, {4, 2}});
    EXPECT_EQ(rowsOf(canvas(), {0, 2, 6, 3}), (std::vector<std::string>{"..#..."}));
    // Mirrored: the reflection is flipped once too, even where the stroke
    // crosses the middle and meets its own reflection.
    for (auto& v : canvas().values()) v = 0;
    options(false, true, false);
    gesture(Tool::InvertPen, {{34, 0}, {37, 0}});
    EXPECT_EQ(rowsOf(canvas(), {33, 0, 39, 1}), (std::vector<std::string>{".####."}));
}

TEST_F(DrawingToolsTest, PatternFillsMeetWithoutSeams) {
    for (int y = 0; y < canvas().height(); ++y) canvas().set(30, y, true);
    options(false, false, false, FillPattern::Checker50);
    gesture(Tool::Fill, {{3, 3}});
    gesture(Tool::Fill, {{50, 7}});
    for (int x = 0; x < canvas().width(); ++x)
        for (int y = 0; y < canvas().height(); ++y)
            if (x != 30) {
                ASSERT_EQ(canvas().isSet(x, y), (x + y) % 2 == 0) << x << "," << y;
            }
    EXPECT_EQ(editor.history().undoCount(), 2u);

    // Each pattern's ink on the canvas repeats every 8 cells and is anchored
    // at the canvas's top-left cell.
    EXPECT_EQ(kFillPatterns.size(), 9u);
    for (const FillPatternInfo& info : kFillPatterns)
        for (int x = 0; x < 16; ++x)
            for (int y = 0; y < 16; ++y)
                ASSERT_EQ(patternInk(info.pattern, x, y), patternInk(info.pattern, x % 8, y % 8));
    EXPECT_TRUE(patternInk(FillPattern::Bricks, 0, 0));
    EXPECT_FALSE(patternInk(FillPattern::Bricks, 1, 1));
    EXPECT_TRUE(patternInk(FillPattern::Bricks, 4, 5));

    // The right button fills with the pattern's other value.
    editor.undo();
    editor.undo();
    options(false, false, false, FillPattern::HorizontalLines);
    gesture(Tool::Fill, {{3, 3}}, {.clear = true, .constrain = false});
    EXPECT_EQ(rowsOf(canvas(), {0, 0, 3, 5}), (std::vector<std::string>{"...", "###", "###", "###", "..."}));
}

TEST_F(DrawingToolsTest, TransformsChangeTheCanvasOrTheLiftedSelectionInOneStep) {
    // An L in the top-left corner of the 72 x 14 canvas.
    const auto drawL = [&] {
        for (auto& v : canvas().values()) v = 0;
        canvas().set(0, 0, true);
        canvas().set(0, 1, true);
        canvas().set(1, 1, true);
    };
    struct Case {
        Transform transform;
        Cells expected;
    };
    const Case cases[] = {
        {Transform::FlipHorizontally, {{71, 0}, {71, 1}, {70, 1}}},
        {Transform::FlipVertically, {{0, 13}, {0, 12}, {1, 12}}},
        {Transform::Rotate180, {{71, 13}, {71, 12}, {70, 12}}},
        {Transform::ShiftLeft, {{71, 0}, {71, 1}, {0, 1}}},
        {Transform::ShiftRight, {{1, 0}, {1, 1}, {2, 1}}},
        {Transform::ShiftUp, {{0, 13}, {0, 0}, {1, 0}}},
        {Transform::ShiftDown, {{0, 1}, {0, 2}, {1, 2}}},
    };
    for (const Case& c : cases) {
        drawL();
        const Cells before = setCells();
        editor.transform(c.transform);
        EXPECT_EQ(setCells(), c.expected) << transformLabel(c.transform);
        ASSERT_TRUE(editor.undo());
        EXPECT_EQ(setCells(), before) << transformLabel(c.transform);
    }
    drawL();
    editor.transform(Transform::InvertColours);
    EXPECT_EQ(setCells().size(), 72u * 14u - 3u);
    EXPECT_FALSE(canvas().isSet(1, 1));

    // With a lifted selection over columns 10 to 13, only its content turns.
    drawL();
    canvas().set(10, 0, true);
    canvas().set(11, 2, true);
    gesture(Tool::Selection, {{10, 0}, {13, 2}});
    const std::size_t steps = editor.history().undoCount();
    editor.transform(Transform::Rotate180);
    EXPECT_EQ(setCells(), (Cells{{0, 0}, {0, 1}, {1, 1}, {13, 2}, {12, 0}}));
    editor.transform(Transform::ShiftLeft);
    EXPECT_EQ(setCells(), (Cells{{0, 0}, {0, 1}, {1, 1}, {12, 2}, {11, 0}}));
    EXPECT_EQ(editor.history().undoCount(), steps + 2);
    // A later drag keeps the turned content.
    gesture(Tool::Selection, {{11, 1}, {12, 1}});
    EXPECT_EQ(setCells(), (Cells{{0, 0}, {0, 1}, {1, 1}, {13, 2}, {12, 0}}));
}

}  // namespace
}  // namespace pelorin
