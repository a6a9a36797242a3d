#pragma once

#include "document/canvas.h"
#include "imaging/fit.h"
#include "imaging/tone.h"

namespace pelorin {

// Everything that decides how a picture becomes a logo.
struct PictureOptions {
    FitMode fit = FitMode::Contain;
    ToneOptions tone;
};

// The picture fitted into a canvas of the given size and turned to one bit.
inline Canvas pictureToCanvas(const GreyImage& picture, CanvasSize size, const PictureOptions& options) {
    return toOneBit(fitImage(picture, size.width, size.height, options.fit), options.tone);
}

}  // namespace pelorin
