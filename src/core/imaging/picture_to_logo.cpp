#include "imaging/picture_to_logo.h"

namespace pelorin {

int automaticThreshold(const GreyImage& picture, Dither dither) {
    return dither == Dither::None ? otsuThreshold(picture) : 128;
}

ToneOptions resolvedTone(const GreyImage& picture, const ToneOptions& tone) {
    ToneOptions resolved = tone;
    if (!resolved.threshold) resolved.threshold = automaticThreshold(picture, tone.dither);
    return resolved;
}

Canvas pictureToCanvas(const GreyImage& picture, CanvasSize size, const PictureOptions& options) {
    return toOneBit(fitImage(picture, size.width, size.height, options.fit), resolvedTone(picture, options.tone));
}

}  // namespace pelorin
