// The editor's logic without a screen: recording a step, undo and redo of
// one step, a flood fill of a whole 78 x 28 canvas, and the memory that a
// full history takes (printed as the counter "bytes"). Target: an editing
// step, undo or redo under 1 ms.
#include <benchmark/benchmark.h>

#include "editor/canvas_editor.h"
#include "editor/shapes.h"

namespace pelorin {
namespace {

struct NoScreen : DrawingSurface {
    void fillCell(const Rect&, Rgb) override {}
    void repaintNow(const Rect&) override {}
    void scrollContent(int, int) override {}
    void setPreviewPixel(Point, Rgb) override {}
    void repaintPreviewNow(const Rect&) override {}
};

struct Rig {
    CPelorinDoc doc;
    NoScreen screen;
    CanvasEditor editor{doc, screen};
    // One pen stroke along a row (the right button's clears), as one step.
    void stroke(int row, bool clear = false) {
        editor.stylusDown({5, row * 10 + 5}, Tool::Pen, {.clear = clear});
        editor.stylusMove({405, row * 10 + 5}, Tool::Pen, {.clear = clear});
        editor.stylusUp({405, row * 10 + 5}, Tool::Pen, {.clear = clear});
    }
};

void BM_RecordAPenStrokeAsAStep(benchmark::State& state) {
    Rig r;
    int row = 0;
    for (auto _ : state) {
        r.stroke(row);
        r.editor.undo();
        row = (row + 1) % 14;
    }
}
BENCHMARK(BM_RecordAPenStrokeAsAStep)->Unit(benchmark::kMicrosecond);

void BM_UndoAndRedoOfOneStepWithoutAScreen(benchmark::State& state) {
    Rig r;
    r.stroke(3);
    for (auto _ : state) {
        r.editor.undo();
        r.editor.redo();
    }
}
BENCHMARK(BM_UndoAndRedoOfOneStepWithoutAScreen)->Unit(benchmark::kMicrosecond);

void BM_FloodFillOfA78By28Canvas(benchmark::State& state) {
    Canvas canvas(78, 28);
    std::int32_t value = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(floodFill(canvas, {40, 14}, value));
        value ^= 1;
    }
}
BENCHMARK(BM_FloodFillOfA78By28Canvas)->Unit(benchmark::kMicrosecond);

// Fills the history to its limit and reports what it holds.
void BM_MemoryOfAFullHistory(benchmark::State& state) {
    Rig r;
    for (auto _ : state) {
        for (std::size_t i = 0; i < EditHistory::kDefaultLimit + 10; ++i)
            r.stroke(static_cast<int>(i % 14), (i / 14) % 2 == 1);
        benchmark::DoNotOptimize(r.editor.history().memoryBytes());
    }
    state.counters["steps"] = static_cast<double>(r.editor.history().undoCount());
    state.counters["bytes"] = static_cast<double>(r.editor.history().memoryBytes());
    state.counters["bytes_per_step"] = static_cast<double>(sizeof(EditStep));
}
BENCHMARK(BM_MemoryOfAFullHistory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelorin

BENCHMARK_MAIN();
