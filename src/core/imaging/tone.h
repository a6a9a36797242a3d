#pragma once

#include <optional>

#include "document/canvas.h"
#include "imaging/grey_image.h"

namespace pelorin {

enum class Dither {
    None,            // a plain threshold
    FloydSteinberg,  // error diffusion 7/16, 3/16, 5/16, 1/16, left to right
    Atkinson,        // error diffusion of 6/8 of the error in eighths
    Ordered,         // the 4 x 4 Bayer matrix
};

// How grey becomes one bit. Dark becomes a set pixel: a grey level below the
// threshold is set. Without a threshold, Otsu's method picks one.
struct ToneOptions {
    std::optional<int> threshold;  // 0 to 255; 0 sets nothing
    Dither dither = Dither::None;
    bool invert = false;  // swaps set and clear at the end
};

// The threshold that best splits the picture's grey levels in two by Otsu's
// method (the greatest variance between the classes). When several thresholds
// split equally well, the middle one, so a two-level picture is split halfway
// between its levels. A picture of one level gives 128.
int otsuThreshold(const GreyImage& image);

// The picture as a canvas of its own size. The threshold also steers the
// dithering: the error diffusions round against it, and the ordered matrix
// is shifted by its distance from 128.
Canvas toOneBit(const GreyImage& image, const ToneOptions& options);

}  // namespace pelorin
