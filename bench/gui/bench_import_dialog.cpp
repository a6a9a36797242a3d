// Speed of the import dialog's answer to one move of the threshold slider:
// the fitted picture turned to one bit again, both previews drawn and
// repainted (offscreen). The picture is a 1,024 x 768 photo-like one on the
// picture-message canvas with Floyd-Steinberg dithering. Target: under 16 ms.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QSlider>
#include <cmath>

#include "imageio/picture_io.h"
#include "pictures/import_picture_dialog.h"

namespace {

using namespace pelorin;

GreyImage photo(int width, int height) {
    GreyImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width;
            const double v = static_cast<double>(y) / height;
            image.at(x, y) = static_cast<std::uint8_t>(127 + 120 * std::sin(9 * u + 4 * v) * std::cos(7 * v - 3 * u));
        }
    return image;
}

void BM_ThresholdSliderToRepaintedPreview(benchmark::State& state) {
    ImportPictureDialog dialog(photo(1024, 768), LogoKind::Picture);
    dialog.ditherList()->setCurrentIndex(1);
    emit dialog.ditherList()->activated(1);
    dialog.automaticBox()->click();  // a threshold of one's own
    dialog.show();
    QApplication::processEvents();
    int threshold = 0;
    for (auto _ : state) {
        threshold = (threshold + 37) % 256;
        // As a drag of the slider does: the value changes, the dialog answers.
        dialog.thresholdSlider()->setValue(threshold);
    }
}
BENCHMARK(BM_ThresholdSliderToRepaintedPreview)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
