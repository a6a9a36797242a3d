#pragma once

#include "document/logo_kind.h"
#include "imaging/grey_image.h"

namespace pelorin {

enum class FitMode {
    Contain,  // keep the aspect ratio, the whole picture inside, white around
    Cover,    // keep the aspect ratio, fill the target, the overflow cut off
    Stretch,  // fill the target, the aspect ratio given up
};

// The picture resampled into a target of width x height. Every target pixel
// is the average of the source pixels it covers, each weighted by how much of
// it lies under the target pixel, so a 2:1 reduction of a picture made of
// 2 x 2 blocks keeps its blocks exactly. Contain and cover centre the picture;
// an odd spare pixel goes to the right or bottom.
GreyImage fitImage(const GreyImage& source, int width, int height, FitMode mode);

// The canvas whose aspect ratio is nearest the picture's (compared as ratios,
// so 2:1 too wide counts like 2:1 too narrow).
LogoKind nearestKind(int width, int height);

}  // namespace pelorin
