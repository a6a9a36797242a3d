#pragma once

#include "editor/geometry.h"

namespace pelorin {

// The preview half of the editor's drawing surface, which the main view
// implements: the canvas window forwards these calls to it.
class PreviewSurface {
public:
    virtual ~PreviewSurface() = default;
    virtual void setPreviewPixel(Point viewPoint, Rgb colour) = 0;
    virtual void repaintPreviewNow(const Rect& viewRect) = 0;
};

}  // namespace pelorin
