// Speed of painting one screen of the open-file dialog's preview: every row
// in view reads its file again and draws its thumbnail and name. The folder
// holds 2,000 logo files of mixed kinds. Target: under 16 ms a screen.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>

#include "browser/open_file_dialog.h"
#include "document/posix_file_system.h"
#include "logo_folder.h"

namespace {

using namespace pelorin;

class NoMessages : public UserMessages {
public:
    void showMessage(const std::string&) override {}
};

void BM_PaintOneScreen(benchmark::State& state) {
    const bench::LogoFolder folder(2000);
    PosixFileSystem files;
    NoMessages messages;
    OpenFileDialog dialog(files, messages, folder.path());
    dialog.show();
    QApplication::processEvents();
    QWidget* screen = dialog.preview()->viewport();
    for (auto _ : state) screen->repaint();
    state.SetLabel(std::to_string(dialog.fileList().size()) + " files, " + std::to_string(screen->width()) + "x" +
                   std::to_string(screen->height()) + " px");
}
BENCHMARK(BM_PaintOneScreen)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
