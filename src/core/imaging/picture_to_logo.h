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

// What an automatic threshold is for a picture: for a plain threshold, Otsu's
// method over the picture itself (not over the white that a fit adds around
// it, which would pull the split towards white); for the ditherings the
// middle, 128, which keeps the picture's tones.
int automaticThreshold(const GreyImage& picture, Dither dither);

// The options with an automatic threshold made a fixed one for this picture.
ToneOptions resolvedTone(const GreyImage& picture, const ToneOptions& tone);

// The picture fitted into a canvas of the given size and turned to one bit.
Canvas pictureToCanvas(const GreyImage& picture, CanvasSize size, const PictureOptions& options);

}  // namespace pelorin
