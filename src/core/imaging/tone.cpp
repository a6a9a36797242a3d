#include "imaging/tone.h"

#include <algorithm>
#include <array>

namespace pelorin {
namespace {

void thresholdInto(const GreyImage& image, int threshold, Canvas& out) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) out.set(x, y, image.at(x, y) < threshold);
}

// Error diffusion over a working copy of the levels. The shares are sixteenths
// or eighths, so the arithmetic stays exact in binary fractions for any
// picture of sensible size, and gives the same result everywhere.
struct Share {
    int dx;
    int dy;
    int parts;
};

template <std::size_t N>
void diffuseInto(const GreyImage& image, int threshold, const std::array<Share, N>& shares, double divisor,
                 Canvas& out) {
    const int w = image.width;
    const int h = image.height;
    std::vector<double> level(image.pixels.begin(), image.pixels.end());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double value = level[static_cast<std::size_t>(y) * w + x];
            const bool dark = value < threshold;
            out.set(x, y, dark);
            const double error = (value - (dark ? 0.0 : 255.0)) / divisor;
            for (const Share& share : shares) {
                const int nx = x + share.dx;
                const int ny = y + share.dy;
                if (nx < 0 || nx >= w || ny >= h) continue;
                level[static_cast<std::size_t>(ny) * w + nx] += error * share.parts;
            }
        }
    }
}

constexpr std::array<Share, 4> kFloydSteinberg{{{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}}};
// Atkinson passes on 6/8 of the error, 1/8 to each of six neighbours.
constexpr std::array<Share, 6> kAtkinson{{{1, 0, 1}, {2, 0, 1}, {-1, 1, 1}, {0, 1, 1}, {1, 1, 1}, {0, 2, 1}}};

constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// A pixel is set when its level lies below the matrix entry's level, the
// entries spread evenly over 0..255 ((2k + 1) * 8) and shifted with the
// threshold.
void orderedInto(const GreyImage& image, int threshold, Canvas& out) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const int level = (2 * kBayer[y % 4][x % 4] + 1) * 8 + (threshold - 128);
            out.set(x, y, image.at(x, y) < level);
        }
}

}  // namespace

int otsuThreshold(const GreyImage& image) {
    std::array<double, 256> histogram{};
    for (std::uint8_t v : image.pixels) histogram[v] += 1;
    const double total = static_cast<double>(image.pixels.size());
    double sumAll = 0;
    for (int v = 0; v < 256; ++v) sumAll += v * histogram[v];
    // Threshold t puts levels below t in the dark class.
    double best = -1;
    int firstBest = 128;
    int lastBest = 128;
    double darkCount = 0;
    double darkSum = 0;
    for (int t = 1; t < 256; ++t) {
        darkCount += histogram[t - 1];
        darkSum += (t - 1) * histogram[t - 1];
        const double lightCount = total - darkCount;
        if (darkCount == 0 || lightCount == 0) continue;
        const double meanDark = darkSum / darkCount;
        const double meanLight = (sumAll - darkSum) / lightCount;
        const double between = darkCount * lightCount * (meanDark - meanLight) * (meanDark - meanLight);
        // A relative tolerance, so that equal splits compare equal whatever the rounding.
        if (between > best * (1 + 1e-12)) {
            best = between;
            firstBest = lastBest = t;
        } else if (between >= best * (1 - 1e-12)) {
            lastBest = t;
        }
    }
    return (firstBest + lastBest) / 2;
}

Canvas toOneBit(const GreyImage& image, const ToneOptions& options) {
    Canvas out(std::max(0, image.width), std::max(0, image.height));
    if (image.empty()) return out;
    const int threshold = std::clamp(options.threshold.value_or(otsuThreshold(image)), 0, 255);
    switch (options.dither) {
        case Dither::None:
            thresholdInto(image, threshold, out);
            break;
        case Dither::FloydSteinberg:
            diffuseInto(image, threshold, kFloydSteinberg, 16, out);
            break;
        case Dither::Atkinson:
            diffuseInto(image, threshold, kAtkinson, 8, out);
            break;
        case Dither::Ordered:
            orderedInto(image, threshold, out);
            break;
    }
    if (options.invert)
        for (auto& cell : out.values()) cell = cell ? 0 : 1;
    return out;
}

}  // namespace pelorin
