// The editor's speed on Qt's offscreen platform: a full repaint of the canvas
// window (in an 800 x 400 main window, and in one maximised on a large screen), one
// pen event, one pen move that paints a 70-cell line, one drag step of a
// selection, a fill of a whole canvas, undo and redo of one step, and the
// start-up of the whole main window. Targets: an editing step, undo or redo
// under 1 ms, a full repaint under 2 ms (8 ms maximised), start-up
// under 300 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <cstdlib>
#include <memory>

#include "app/command_table.h"
#include "app/main_frame.h"
#include "app/pelorin_app.h"
#include "document/memory_file_system.h"
#include "editor/pelorin_view.h"
#include "settings/memory_settings_store.h"

namespace pelorin {
namespace {

class NoMessages : public UserMessages {
public:
    void showMessage(const std::string&) override {}
};

struct Editor {
    MemorySettingsStore settings;
    NoMessages messages;
    MemoryFileSystem files;
    CPelorinApp app{AppServices{settings, messages, files}};

    // The window at one size for every figure, whatever size a version of
    // the editor opens at, so that figures of two versions compare.
    Editor() {
        app.show();
        app.frame().resize(800, 400);
        QApplication::processEvents();
    }
    CLogoWnd& canvas() { return app.view().logoWnd(); }
    CanvasEditor& editor() { return app.view().editor(); }
    QPoint cellCentre(int x, int y) {
        const int size = editor().cellSize();
        return {CLogoWnd::kBorder + x * size + size / 2, CLogoWnd::kBorder + y * size + size / 2};
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), QPointF(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(&canvas(), &event);
    }
};

void BM_FullRepaintOfTheCanvasWindow(benchmark::State& state) {
    Editor e;
    e.editor().setCellSize(static_cast<int>(state.range(0)));
    for (auto _ : state) e.editor().redrawAll();
}
BENCHMARK(BM_FullRepaintOfTheCanvasWindow)->Arg(4)->Arg(15)->Unit(benchmark::kMicrosecond);

// The canvas window of an editor maximised on a 1,920 x 1,080 screen, with
// the picture canvas shown: the client is whatever the window gets there
// (counted in client_pixels).
void BM_FullRepaintInAMaximisedEditor(benchmark::State& state) {
    Editor e;
    e.app.frame().resize(1920, 1080);
    QApplication::processEvents();
    e.app.frame().action(command::kViewPicture)->trigger();
    e.editor().setCellSize(static_cast<int>(state.range(0)));
    QApplication::processEvents();
    if (e.editor().clientSize().width < 288 || e.editor().clientSize().height < 112) {
        state.SkipWithError("the canvas window did not grow with the editor");
        return;
    }
    for (auto _ : state) e.editor().redrawAll();
    const Size client = e.editor().clientSize();
    state.counters["client_pixels"] = static_cast<double>(client.width) * client.height;
}
BENCHMARK(BM_FullRepaintInAMaximisedEditor)->Arg(4)->Arg(15)->Unit(benchmark::kMicrosecond);

// One move of a stroke 70 cells along: every cell of the line drawn directly
// with its preview pixel.
void BM_PenMovePaintingA70CellLine(benchmark::State& state) {
    Editor e;
    e.mouse(QEvent::MouseButtonPress, e.cellCentre(1, 2), Qt::LeftButton);
    // Back and forth between (1, 3) and (71, 9): 70 new cells each move.
    const QPoint ends[] = {e.cellCentre(71, 9), e.cellCentre(1, 3)};
    int i = 1;
    for (auto _ : state) e.mouse(QEvent::MouseMove, ends[i ^= 1], Qt::LeftButton);
    e.mouse(QEvent::MouseButtonRelease, ends[i], Qt::NoButton);
}
BENCHMARK(BM_PenMovePaintingA70CellLine)->Unit(benchmark::kMicrosecond);

// A click with the fill tool that sets, then clears, the whole picture
// canvas, with its repaint and its undo step.
void BM_FillOfTheWholePictureCanvas(benchmark::State& state) {
    Editor e;
    e.app.frame().action(command::kViewPicture)->trigger();
    e.app.frame().action(command::kToolFill)->trigger();
    const QPoint at = e.cellCentre(5, 5);
    for (auto _ : state) {
        e.mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
        e.mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
        e.editor().undo();
    }
}
BENCHMARK(BM_FillOfTheWholePictureCanvas)->Unit(benchmark::kMicrosecond);

// Undo, then redo, of one pen stroke: both snapshots restored and the canvas
// window and the preview redrawn.
void BM_UndoAndRedoOfOneStep(benchmark::State& state) {
    Editor e;
    e.mouse(QEvent::MouseButtonPress, e.cellCentre(3, 2), Qt::LeftButton);
    e.mouse(QEvent::MouseMove, e.cellCentre(15, 9), Qt::LeftButton);
    e.mouse(QEvent::MouseButtonRelease, e.cellCentre(15, 9), Qt::NoButton);
    for (auto _ : state) {
        e.editor().undo();
        e.editor().redo();
    }
    state.counters["steps"] = static_cast<double>(e.editor().history().undoCount());
}
BENCHMARK(BM_UndoAndRedoOfOneStep)->Unit(benchmark::kMicrosecond);

void BM_PenEventFromPressToPaintedCell(benchmark::State& state) {
    Editor e;
    const QPoint cells[] = {e.cellCentre(3, 2), e.cellCentre(4, 2)};
    int i = 0;
    for (auto _ : state) {
        e.mouse(QEvent::MouseButtonPress, cells[i ^= 1], Qt::LeftButton);
        e.mouse(QEvent::MouseButtonRelease, cells[i], Qt::NoButton);
    }
}
BENCHMARK(BM_PenEventFromPressToPaintedCell)->Unit(benchmark::kMicrosecond);

void BM_DragStepOfA20By10Selection(benchmark::State& state) {
    Editor e;
    e.app.frame().action(command::kViewPicture)->trigger();
    e.editor().setCellSize(6);
    e.app.frame().action(command::kToolSelection)->trigger();
    // Draw and lift a 20 x 10 selection, then take hold of it.
    e.mouse(QEvent::MouseButtonPress, e.cellCentre(2, 2), Qt::LeftButton);
    e.mouse(QEvent::MouseMove, e.cellCentre(21, 11), Qt::LeftButton);
    e.mouse(QEvent::MouseButtonRelease, e.cellCentre(21, 11), Qt::NoButton);
    if (e.editor().selection().width() != 20 || e.editor().selection().height() != 10) {
        state.SkipWithError("the selection is not 20 x 10");
        return;
    }
    e.mouse(QEvent::MouseButtonPress, e.cellCentre(10, 5), Qt::LeftButton);
    const QPoint steps[] = {e.cellCentre(11, 5), e.cellCentre(10, 5)};
    int i = 0;
    for (auto _ : state) e.mouse(QEvent::MouseMove, steps[i ^= 1], Qt::LeftButton);
    e.mouse(QEvent::MouseButtonRelease, steps[i], Qt::NoButton);
}
BENCHMARK(BM_DragStepOfA20By10Selection)->Unit(benchmark::kMicrosecond);

// Document, main window with its menus, view, palette pictures, shown and
// painted once. (The QApplication itself is made once per process.)
void BM_StartUpToTheFirstPaintedWindow(benchmark::State& state) {
    for (auto _ : state) {
        Editor e;
        e.app.frame().repaint();
        benchmark::DoNotOptimize(&e);
    }
}
BENCHMARK(BM_StartUpToTheFirstPaintedWindow)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pelorin

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
