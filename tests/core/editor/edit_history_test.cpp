#include "editor/edit_history.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/canvas_editor.h"
#include "editor/layout.h"
#include "editor/shapes.h"
#include "editor/unsaved_drawings.h"

namespace pelorin {
namespace {

struct NullSurface : DrawingSurface {
    std::vector<Rect> repaints;
    std::vector<Point> scrolls;
    std::vector<Rect> previewRepaints;
    void fillCell(const Rect&, Rgb) override {}
    void repaintNow(const Rect& r) override { repaints.push_back(r); }
    void scrollContent(int dx, int dy) override { scrolls.push_back({dx, dy}); }
    void setPreviewPixel(Point, Rgb) override {}
    void repaintPreviewNow(const Rect& r) override { previewRepaints.push_back(r); }
};

// A document with an editor over it, and gestures by cells.
struct EditorRig {
    CPelorinDoc doc;
    NullSurface surface;
    CanvasEditor editor{doc, surface};

    Canvas& canvas() { return doc.canvas(editor.kind()); }
    Point centreOf(int x, int y) const {
        const int c = editor.cellSize();
        return {x * c + c / 2 - editor.origin().x, y * c + c / 2 - editor.origin().y};
    }
    void gesture(Tool tool, std::vector<Point> cells, StylusInput input = {}) {
        editor.stylusDown(centreOf(cells.front().x, cells.front().y), tool, input);
        for (std::size_t i = 1; i < cells.size(); ++i) editor.stylusMove(centreOf(cells[i].x, cells[i].y), tool, input);
        editor.stylusUp(centreOf(cells.back().x, cells.back().y), tool, input);
    }
    // A drawing with a lifted selection over part of it.
    void drawAndLift() {
        for (int x = 3; x < 9; ++x) canvas().set(x, 4, true);
        canvas().set(20, 10, true);
        gesture(Tool::Selection, {{2, 3}, {6, 6}});
    }
    std::vector<Point> setCells() {
        std::vector<Point> cells;
        for (int x = 0; x < canvas().width(); ++x)
            for (int y = 0; y < canvas().height(); ++y)
                if (canvas().isSet(x, y)) cells.push_back({x, y});
        return cells;
    }
};

struct HistoryTest : ::testing::Test, EditorRig {};

TEST(EditHistoryTest, EveryUndoableOperationUndoesAndRedoesToTheExactState) {
    Canvas block(5, 3);
    block.set(0, 0, true);
    block.set(4, 2, true);
    Canvas phoneLogo(72, 28);
    phoneLogo.set(71, 27, true);
    struct Case {
        const char* name;
        std::function<void(EditorRig&)> run;
    };
    const Case cases[] = {
        {"pen stroke",
         [](EditorRig& t) {
             t.gesture(Tool::Pen, {{10, 1}, {14, 3}});
         }},
        {"pen stroke inside the selection",
         [](EditorRig& t) {
             t.gesture(Tool::Pen, {{3, 3}, {5, 3}});
         }},
        {"right-button pen",
         [](EditorRig& t) {
             t.gesture(Tool::Pen, {{3, 4}, {7, 4}}, {.clear = true});
         }},
        {"eraser stroke",
         [](EditorRig& t) {
             t.gesture(Tool::Eraser, {{4, 4}, {8, 4}});
         }},
        {"line",
         [](EditorRig& t) {
             t.gesture(Tool::Line, {{0, 0}, {9, 1}, {30, 12}});
         }},
        {"rectangle",
         [](EditorRig& t) {
             t.gesture(Tool::Rectangle, {{12, 2}, {18, 8}});
         }},
        {"fill",
         [](EditorRig& t) {
             t.gesture(Tool::Fill, {{30, 2}});
         }},
        {"right-button fill",
         [](EditorRig& t) {
             t.gesture(Tool::Fill, {{20, 10}}, {.clear = true});
         }},
        {"selection drag",
         [](EditorRig& t) {
             t.gesture(Tool::Selection, {{3, 4}, {10, 6}});
         }},
        {"copy", [](EditorRig& t) { t.editor.copySelection(); }},
        {"delete", [](EditorRig& t) { t.editor.deleteSelection(); }},
        {"arrow key", [](EditorRig& t) { t.editor.nudgeSelection(1, 0); }},
        {"placed block", [&block](EditorRig& t) { t.editor.placeFloating(block); }},
        {"replaced canvas",
         [&phoneLogo](EditorRig& t) { t.editor.replaceCanvas(LogoKind::Picture, phoneLogo, "Import"); }},
        {"a document command",
         [](EditorRig& t) {
             t.editor.beginEdit("New");
             t.editor.dropSelection();
             t.canvas().clear();
             t.editor.commitEdit();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorRig rig;
        rig.drawAndLift();
        const EditSnapshot before = rig.editor.snapshot();
        const Selection selectionBefore = rig.editor.selectionState();
        const std::size_t steps = rig.editor.history().undoCount();
        c.run(rig);
        const EditSnapshot after = rig.editor.snapshot();
        const Selection selectionAfter = rig.editor.selectionState();
        ASSERT_NE(after, before);
        ASSERT_EQ(rig.editor.history().undoCount(), steps + 1);
        ASSERT_TRUE(rig.editor.undo());
        EXPECT_EQ(rig.editor.snapshot(), before);
        EXPECT_TRUE(rig.editor.selectionState() == selectionBefore);
        EXPECT_TRUE(rig.editor.canRedo());
        ASSERT_TRUE(rig.editor.redo());
        EXPECT_EQ(rig.editor.snapshot(), after);
        EXPECT_TRUE(rig.editor.selectionState() == selectionAfter);
        EXPECT_FALSE(rig.editor.canRedo());
    }
}

TEST_F(HistoryTest, UndoDuringAStrokeCancelsItAndLeavesEarlierStepsAlone) {
    gesture(Tool::Pen, {{1, 1}});
    const EditSnapshot afterFirst = editor.snapshot();
    editor.stylusDown(centreOf(3, 3), Tool::Pen);
    editor.stylusMove(centreOf(9, 3), Tool::Pen);
    ASSERT_TRUE(canvas().isSet(6, 3));
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(editor.snapshot(), afterFirst);
    // The rest of the gesture draws nothing and records nothing.
    editor.stylusMove(centreOf(12, 3), Tool::Pen);
    editor.stylusUp(centreOf(12, 3), Tool::Pen);
    EXPECT_EQ(editor.snapshot(), afterFirst);
    EXPECT_EQ(editor.history().undoCount(), 1u);
    EXPECT_FALSE(editor.canRedo());
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(setCells(), std::vector<Point>{});

    // A line being dragged goes back the same way.
    editor.stylusDown(centreOf(0, 0), Tool::Line);
    editor.stylusMove(centreOf(20, 5), Tool::Line);
    editor.undo();
    EXPECT_EQ(setCells(), std::vector<Point>{});
}

TEST_F(HistoryTest, AStrokeUndoneWhileASelectionIsLiftedStaysUndoneAfterADrag) {
    drawAndLift();
    gesture(Tool::Pen, {{4, 5}, {5, 5}});  // inside the selection
    gesture(Tool::Pen, {{30, 1}});         // outside it
    editor.undo();
    editor.undo();
    gesture(Tool::Selection, {{3, 4}, {13, 4}});
    EXPECT_EQ(editor.selection(), (Rect{12, 3, 17, 7}));
    EXPECT_FALSE(canvas().isSet(14, 5) || canvas().isSet(15, 5));
    EXPECT_FALSE(canvas().isSet(30, 1));
    for (int x = 13; x < 17; ++x) EXPECT_TRUE(canvas().isSet(x, 4)) << x;
}

TEST_F(HistoryTest, OnlyEditsAreSteps) {
    drawAndLift();                                       // drawing a selection
    gesture(Tool::Moving, {{10, 5}, {2, 5}});            // panning
    editor.zoomIn();                                     // zooming
    editor.hideSelection();                              // hiding
    editor.setCanvasKind(LogoKind::Picture);             // choosing a canvas
    gesture(Tool::Selection, {{1, 1}, {3, 3}, {1, 1}});  // drawn, not dragged
    gesture(Tool::Fill, {{40, 20}}, {.clear = true});    // clearing what is clear
    gesture(Tool::Eraser, {{5, 5}, {9, 9}});
    EXPECT_EQ(editor.history().undoCount(), 0u);
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(HistoryTest, UndoingAStepOfAnotherCanvasShowsThatCanvasFirst) {
    gesture(Tool::Pen, {{2, 2}});
    editor.setCanvasKind(LogoKind::LargeOperator);
    editor.setOrigin({30, 4});
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(editor.kind(), LogoKind::Operator);
    EXPECT_EQ(editor.origin(), (Point{0, 0}));
    EXPECT_FALSE(canvas().isSet(2, 2));
    EXPECT_EQ(surface.previewRepaints.back(), previewAreaOfAllKinds());
    editor.setCanvasKind(LogoKind::Picture);
    ASSERT_TRUE(editor.redo());
    EXPECT_EQ(editor.kind(), LogoKind::Operator);
    EXPECT_TRUE(canvas().isSet(2, 2));
}

TEST(EditHistoryTest, ANewStepClearsRedoAndTheLimitDropsTheOldest) {
    EditHistory history(3);
    const auto step = [](const char* label) { return EditStep{label, {}, {}}; };
    for (const char* label : {"a", "b", "c", "d"}) history.push(step(label));
    EXPECT_EQ(history.undoCount(), 3u);
    EXPECT_EQ(history.undo()->label, "d");
    EXPECT_EQ(history.undo()->label, "c");
    EXPECT_EQ(history.redo()->label, "c");
    history.push(step("e"));
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.undo()->label, "e");
    EXPECT_EQ(history.undo()->label, "c");
    EXPECT_EQ(history.undo()->label, "b");
    EXPECT_EQ(history.undo(), nullptr);
    EXPECT_GE(EditHistory::kDefaultLimit, 100u);
}

// Packing goes eight and sixty-four cells at a time: lengths that end inside
// a byte or a word, any non-zero value counting as set, and the cells past
// the packed room left alone.
TEST(EditHistoryTest, CellsPackAndUnpackExactlyAtEveryLength) {
    for (std::size_t length : {1U, 7U, 9U, 63U, 65U, 1008U, 1638U, 2016U, 2184U}) {
        std::vector<std::int32_t> values(length);
        for (std::size_t i = 0; i < length; ++i)
            values[i] = (i * 7 + length) % 5 == 0 ? static_cast<int>(i % 3) + 1 : 0;
        values.back() = -1;
        const CellBits bits = packCells(values);
        for (std::size_t i = 0; i < length; ++i) ASSERT_EQ(bits.test(i), values[i] != 0) << length << " cell " << i;
        for (std::size_t i = length; i < Selection::kBufferCells; ++i) ASSERT_FALSE(bits.test(i)) << length;
        std::vector<std::int32_t> back(length + 3, 9);
        unpackCells(bits, back);
        for (std::size_t i = 0; i < length; ++i) ASSERT_EQ(back[i], values[i] != 0 ? 1 : 0) << length << " cell " << i;
    }
    std::vector<std::int32_t> longer(Selection::kBufferCells + 10, 1);
    const CellBits full = packCells(longer);
    std::vector<std::int32_t> back(longer.size(), 7);
    unpackCells(full, back);
    EXPECT_EQ(back[Selection::kBufferCells - 1], 1);
    EXPECT_EQ(back[Selection::kBufferCells], 7);
}

TEST(ShapesTest, LineCellsInEveryOctantRunFromStartToEndOneStepAtATime) {
    // Tie-free slopes 2/5 in each octant: the minor axis advances after
    // steps 2 and 4 of the major one (exact rounding of 0.4, 0.8, 1.2, 1.6).
    const int minor[] = {0, 0, 1, 1, 2, 2};
    const Point o{10, 10};
    for (const int sx : {1, -1})
        for (const int sy : {1, -1})
            for (const bool xMajor : {true, false}) {
                std::vector<Point> expected;
                for (int i = 0; i < 6; ++i)
                    expected.push_back(xMajor ? Point{o.x + sx * i, o.y + sy * minor[i]}
                                              : Point{o.x + sx * minor[i], o.y + sy * i});
                EXPECT_EQ(lineCells(o, expected.back()), expected) << sx << " " << sy << " " << xMajor;
            }
    EXPECT_EQ(lineCells(o, o), std::vector<Point>{o});
    EXPECT_EQ(lineCells(o, {13, 13}), (std::vector<Point>{{10, 10}, {11, 11}, {12, 12}, {13, 13}}));
    // Shift: the nearest of the eight directions; squares keep the larger side.
    EXPECT_EQ(constrainLine(o, {20, 13}), (Point{20, 10}));
    EXPECT_EQ(constrainLine(o, {12, 1}), (Point{10, 1}));
    EXPECT_EQ(constrainLine(o, {4, 15}), (Point{4, 16}));
    EXPECT_EQ(constrainSquare(o, {13, 4}), (Point{16, 4}));
    EXPECT_EQ(rectangleOutline({3, 3}, {1, 1}).size(), 8u);
    EXPECT_EQ(rectangleOutline({3, 3}, {3, 3}).size(), 1u);
    EXPECT_EQ(rectangleOutline({3, 3}, {6, 3}).size(), 4u);
}

TEST(ShapesTest, FillStopsAtTheCanvasEdgeAndAtCellsOfTheOtherState) {
    Canvas c(8, 5);
    // A wall down column 4 with a gap at row 4; a diagonal does not connect.
    for (int y = 0; y < 4; ++y) c.set(4, y, true);
    c.set(6, 0, true);
    auto filled = floodFill(c, {1, 1}, 1);
    EXPECT_EQ(filled.size(), 8u * 5u - 5u);
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 5; ++y) EXPECT_TRUE(c.isSet(x, y)) << x << "," << y;
    EXPECT_EQ(boundsOf(filled), (Rect{0, 0, 8, 5}));

    Canvas walled(8, 5);
    for (int y = 0; y < 5; ++y) walled.set(4, y, true);
    walled.set(0, 0, true);
    filled = floodFill(walled, {2, 2}, 1);
    EXPECT_EQ(filled.size(), 4u * 5u - 1u);
    EXPECT_FALSE(walled.isSet(5, 2));
    // Clearing takes the set region only; a start off the canvas does nothing.
    filled = floodFill(walled, {4, 0}, 0);
    EXPECT_EQ(filled.size(), 4u * 5u + 5u);
    EXPECT_TRUE(floodFill(walled, {8, 0}, 1).empty());
    EXPECT_TRUE(floodFill(walled, {-1, 0}, 1).empty());
}

TEST_F(HistoryTest, PenMovesPaintEveryCellOfTheLineAndLineShapesFollowTheStylus) {
    gesture(Tool::Pen, {{2, 1}, {9, 4}});
    EXPECT_EQ(setCells(), lineCells({2, 1}, {9, 4}));
    canvas().clear();
    // A line dragged about leaves only where it ends, over the old picture.
    canvas().set(5, 5, true);
    gesture(Tool::Line, {{0, 0}, {12, 12}, {6, 1}});
    auto expected = lineCells({0, 0}, {6, 1});
    expected.insert(expected.end() - 1, {5, 5});  // in column order
    EXPECT_EQ(setCells(), expected);
    canvas().clear();
    gesture(Tool::Rectangle, {{4, 4}, {1, 2}}, {.constrain = true});  // kept square: 4 x 4 from (4, 4)
    EXPECT_EQ(setCells().size(), 12u);
    EXPECT_TRUE(canvas().isSet(1, 1) && canvas().isSet(4, 4) && !canvas().isSet(2, 2));
}

TEST_F(HistoryTest, PanLimitsAndStripsFollowTheClientSize) {
    struct Case {
        Size client;
        LogoKind kind;
        Point max;
    };
    for (const Case& c : {Case{{500, 100}, LogoKind::Picture, {220, 180}}, Case{{1000, 400}, LogoKind::Picture, {0, 0}},
                          Case{{300, 250}, LogoKind::LargeOperator, {480, 0}}}) {
        editor.setCanvasKind(c.kind);
        editor.setClientSize(c.client);
        EXPECT_EQ(editor.maxOrigin(), c.max);
        editor.panBy(10000, 10000);
        EXPECT_EQ(editor.origin(), c.max);
        editor.panBy(-10000, -10000);
        EXPECT_EQ(editor.origin(), (Point{0, 0}));
    }
    editor.setCanvasKind(LogoKind::Picture);
    editor.setClientSize({500, 100});
    surface.repaints.clear();
    editor.panBy(7, -3);  // up is cut at 0
    EXPECT_EQ(surface.scrolls.back(), (Point{-7, 0}));
    EXPECT_EQ(surface.repaints, (std::vector<Rect>{{493, 0, 500, 100}}));
    surface.repaints.clear();
    editor.panBy(-2, 5);
    EXPECT_EQ(surface.repaints, (std::vector<Rect>{{0, 95, 500, 100}, {0, 0, 2, 100}}));

    // A resize brings the origin back within the limits, to 0 where it fits.
    editor.setOrigin({200, 150});
    editor.setClientSize({600, 200});
    EXPECT_EQ(editor.origin(), (Point{120, 80}));
    editor.setClientSize({800, 300});
    EXPECT_EQ(editor.origin(), (Point{0, 0}));
}

TEST_F(HistoryTest, APlacedBlockLandsAtTheFirstVisibleCellAndStaysOnTheCanvas) {
    Canvas block(10, 6);
    block.set(0, 0, true);
    block.set(9, 5, true);
    canvas().set(40, 3, true);
    editor.setOrigin({405, 2});  // first wholly visible column 41, row 1
    editor.placeFloating(block);
    EXPECT_EQ(editor.selection(), (Rect{41, 1, 51, 7}));
    EXPECT_TRUE(canvas().isSet(41, 1) && canvas().isSet(50, 6));
    EXPECT_EQ(editor.background()[40 * 14 + 3], 1);
    editor.undo();
    editor.setOrigin({700, 0});  // zoomed out beyond the limit, column 70: pushed back to end at 72
    editor.placeFloating(block);
    EXPECT_EQ(editor.selection(), (Rect{62, 0, 72, 6}));
    // Dragging it puts the old picture back where it passes.
    editor.setOrigin({450, 0});
    gesture(Tool::Selection, {{62, 0}, {60, 0}});
    EXPECT_TRUE(canvas().isSet(60, 0) && !canvas().isSet(62, 0) && canvas().isSet(40, 3));
    Canvas wide(100, 40);
    editor.placeFloating(wide);
    EXPECT_EQ(editor.selection(), (Rect{0, 0, 72, 14}));
}

TEST_F(HistoryTest, UnsavedKindsAreThoseThatDifferFromWhatWasLastOpenedOrSaved) {
    EXPECT_TRUE(editor.unsavedKinds().empty());
    gesture(Tool::Pen, {{1, 1}});
    doc.canvas(LogoKind::LargeOperator).set(2, 2, true);
    EXPECT_EQ(editor.unsavedKinds(), (std::vector<LogoKind>{LogoKind::Operator, LogoKind::LargeOperator}));
    editor.markSaved(LogoKind::Operator);
    EXPECT_EQ(editor.unsavedKinds(), (std::vector<LogoKind>{LogoKind::LargeOperator}));
    doc.canvas(LogoKind::LargeOperator).clear();  // blank: nothing to lose
    gesture(Tool::Pen, {{3, 1}});
    editor.undo();  // back to what was saved
    EXPECT_TRUE(editor.unsavedKinds().empty());
    EXPECT_EQ(unsavedDrawingsQuestion({LogoKind::Operator, LogoKind::LargeOperator}),
              "Drawings that are not saved will be lost: Operator logo & group graphic, 62xx/71xx Operator logo.");
}

}  // namespace
}  // namespace pelorin
