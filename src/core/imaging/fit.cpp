#include "imaging/fit.h"

#include <algorithm>
#include <cmath>

namespace pelorin {
namespace {

// One axis of the resampling: for each target pixel the source pixels it
// covers and their weights (summing to 1).
struct Tap {
    int source;
    double weight;
};
struct AxisTaps {
    std::vector<std::size_t> start;  // first tap of target pixel i; start[n] = end
    std::vector<Tap> taps;
};

// Maps target pixels 0..count-1 onto the source span [from, from + length).
AxisTaps axisTaps(int sourceSize, double from, double length, int count) {
    AxisTaps axis;
    axis.start.reserve(static_cast<std::size_t>(count) + 1);
    const double step = length / count;
    for (int i = 0; i < count; ++i) {
        axis.start.push_back(axis.taps.size());
        const double lo = from + step * i;
        const double hi = from + step * (i + 1);
        int first = static_cast<int>(std::floor(lo));
        int last = static_cast<int>(std::ceil(hi)) - 1;
        first = std::clamp(first, 0, sourceSize - 1);
        last = std::clamp(last, first, sourceSize - 1);
        double total = 0;
        const std::size_t mark = axis.taps.size();
        for (int s = first; s <= last; ++s) {
            const double covered = std::min(hi, s + 1.0) - std::max(lo, static_cast<double>(s));
            if (covered <= 0) continue;
            axis.taps.push_back({s, covered});
            total += covered;
        }
        if (axis.taps.size() == mark) {
            axis.taps.push_back({first, 1.0});
            total = 1.0;
        }
        for (std::size_t t = mark; t < axis.taps.size(); ++t) axis.taps[t].weight /= total;
    }
    axis.start.push_back(axis.taps.size());
    return axis;
}

// Resamples the source span onto the target rectangle (left, top, w, h).
void resampleInto(const GreyImage& source, double sx, double sy, double sw, double sh, GreyImage& target, int left,
                  int top, int w, int h) {
    const AxisTaps across = axisTaps(source.width, sx, sw, w);
    const AxisTaps down = axisTaps(source.height, sy, sh, h);
    // Rows first: only the source rows some target row uses, reduced to w columns.
    const int rowFirst = down.taps.empty() ? 0 : down.taps.front().source;
    const int rowLast = down.taps.empty() ? -1 : down.taps.back().source;
    std::vector<double> rows(static_cast<std::size_t>(std::max(0, rowLast - rowFirst + 1)) *
                             static_cast<std::size_t>(w));
    for (int y = rowFirst; y <= rowLast; ++y) {
        const std::uint8_t* line = &source.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(source.width)];
        double* out = &rows[static_cast<std::size_t>(y - rowFirst) * static_cast<std::size_t>(w)];
        for (int x = 0; x < w; ++x) {
            double sum = 0;
            for (std::size_t t = across.start[x]; t < across.start[x + 1]; ++t)
                sum += line[across.taps[t].source] * across.taps[t].weight;
            out[x] = sum;
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double sum = 0;
            for (std::size_t t = down.start[y]; t < down.start[y + 1]; ++t)
                sum += rows[static_cast<std::size_t>(down.taps[t].source - rowFirst) * static_cast<std::size_t>(w) +
                            static_cast<std::size_t>(x)] *
                       down.taps[t].weight;
            // The small nudge makes halves that the weights miss by a rounding
            // error still round up.
            target.at(left + x, top + y) = static_cast<std::uint8_t>(std::clamp(std::lround(sum + 1e-9), 0L, 255L));
        }
    }
}

}  // namespace

GreyImage fitImage(const GreyImage& source, int width, int height, FitMode mode) {
    GreyImage target(std::max(0, width), std::max(0, height), 255);
    if (source.empty() || target.empty()) return target;
    const double sw = source.width;
    const double sh = source.height;
    switch (mode) {
        case FitMode::Stretch:
            resampleInto(source, 0, 0, sw, sh, target, 0, 0, width, height);
            break;
        case FitMode::Contain: {
            const double scale = std::min(width / sw, height / sh);
            const int w = std::clamp(static_cast<int>(std::lround(sw * scale)), 1, width);
            const int h = std::clamp(static_cast<int>(std::lround(sh * scale)), 1, height);
            resampleInto(source, 0, 0, sw, sh, target, (width - w) / 2, (height - h) / 2, w, h);
            break;
        }
        case FitMode::Cover: {
            const double scale = std::max(width / sw, height / sh);
            const double cw = std::min(sw, width / scale);
            const double ch = std::min(sh, height / scale);
            resampleInto(source, (sw - cw) / 2, (sh - ch) / 2, cw, ch, target, 0, 0, width, height);
            break;
        }
    }
    return target;
}

LogoKind nearestKind(int width, int height) {
    if (width <= 0 || height <= 0) return LogoKind::Operator;
    const double ratio = std::log(static_cast<double>(width) / height);
    LogoKind best = LogoKind::Operator;
    double bestDistance = 1e9;
    for (LogoKind kind : {LogoKind::Operator, LogoKind::LargeOperator, LogoKind::Picture}) {
        const CanvasSize size = sizeOf(kind);
        const double distance = std::abs(ratio - std::log(static_cast<double>(size.width) / size.height));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = kind;
        }
    }
    return best;
}

}  // namespace pelorin
