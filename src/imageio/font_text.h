#pragma once

#include <QString>

#include "document/canvas.h"

namespace pelorin::imageio {

// The text in an installed font at a height in pixels, drawn without
// antialiasing, as a block of cells as large as the text (one line a line
// break), cut to at most maxSize. Needs a running QGuiApplication (fonts).
Canvas renderInstalledFontText(const QString& family, int pixelHeight, const QString& text, CanvasSize maxSize);

}  // namespace pelorin::imageio
