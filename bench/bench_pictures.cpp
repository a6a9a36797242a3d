// Speed of bringing pictures and text in:
// - a 4,000 x 3,000 JPEG photo, file to 72 x 14 canvas (target: under 150 ms);
// - one change of the threshold: the fitted picture to one bit again and the
//   preview images (actual size and enlarged) drawn anew (target: under 16 ms);
// - a text of 20 characters drawn in a pixel font (target: under 1 ms).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "document/posix_file_system.h"
#include "imageio/picture_io.h"
#include "imaging/picture_to_logo.h"
#include "imaging/pixel_font.h"

namespace {

using namespace pelorin;

// A photo-like picture from a formula: soft shapes, gradients and noise, so
// the JPEG is as large as a real photo's.
QImage photo(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width;
            const double v = static_cast<double>(y) / height;
            const double shade = 0.5 + 0.35 * std::sin(9 * u + 4 * v) * std::cos(7 * v - 3 * u);
            const int noise = static_cast<int>((x * 7919u + y * 104729u) % 23) - 11;
            const int level = std::clamp(static_cast<int>(shade * 255) + noise, 0, 255);
            line[x] = qRgb(level, std::clamp(level + 20, 0, 255), 255 - level / 2);
        }
    }
    return image;
}

class PhotoFile {
public:
    PhotoFile() {
        path_ =
            (std::filesystem::temp_directory_path() / ("pelorin-bench-" + std::to_string(getpid()) + ".jpg")).string();
        photo(4000, 3000).save(QString::fromStdString(path_), "jpeg", 90);
    }
    ~PhotoFile() { std::filesystem::remove(path_); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void BM_JpegFileToCanvas(benchmark::State& state) {
    const PhotoFile file;
    PosixFileSystem files;
    for (auto _ : state) {
        const auto read = imageio::readPicture(files, file.path());
        if (!read.picture) {
            state.SkipWithError(read.error.c_str());
            break;
        }
        benchmark::DoNotOptimize(pictureToCanvas(*read.picture, sizeOf(LogoKind::Operator), {}));
    }
    state.SetLabel(std::to_string(std::filesystem::file_size(file.path()) / 1024) + " KB JPEG 4000x3000");
}
BENCHMARK(BM_JpegFileToCanvas)->Unit(benchmark::kMillisecond);

void BM_ThresholdChangeToPreview(benchmark::State& state) {
    const GreyImage fitted = fitImage(imageio::greyFromImage(photo(1024, 768)), 72, 28, FitMode::Contain);
    int threshold = 0;
    for (auto _ : state) {
        threshold = (threshold + 37) % 256;
        const Canvas canvas = toOneBit(fitted, {threshold, Dither::FloydSteinberg, false});
        benchmark::DoNotOptimize(imageio::canvasImage(canvas, 1, imageio::Look::Plain));
        benchmark::DoNotOptimize(imageio::canvasImage(canvas, 6, imageio::Look::PhoneScreen));
    }
}
BENCHMARK(BM_ThresholdChangeToPreview)->Unit(benchmark::kMicrosecond);

void BM_RenderText(benchmark::State& state) {
    const std::u32string text = U"Pelorin logo: 20 chr";
    for (auto _ : state) benchmark::DoNotOptimize(textOnCanvas({72, 14}, *findPixelFont("3x5"), text));
    state.SetLabel(std::to_string(text.size()) + " characters");
}
BENCHMARK(BM_RenderText)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
