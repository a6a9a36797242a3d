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

// Counts the files opened, to show that each paint reads its rows again.
class CountingFiles : public PosixFileSystem {
public:
    long opened = 0;
    std::unique_ptr<InputFile> openForReading(const std::string& path) override {
        ++opened;
        return PosixFileSystem::openForReading(path);
    }
};

void BM_PaintOneScreen(benchmark::State& state) {
    const bench::LogoFolder folder(2000);
    CountingFiles files;
    NoMessages messages;
    OpenFileDialog dialog(files, messages, folder.path());
    dialog.show();
    QApplication::processEvents();
    QWidget* screen = dialog.preview()->viewport();
    files.opened = 0;
    for (auto _ : state) screen->repaint();
    state.counters["files read a screen"] =
        static_cast<double>(files.opened) /
        static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
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
