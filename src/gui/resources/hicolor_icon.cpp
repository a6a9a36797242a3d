#include "resources/hicolor_icon.h"

#include "resources/app_icon.h"

namespace pelorin {

QImage hicolorIconImage(int size) {
    if (size <= 0 || size % 16 != 0) return {};
    const int drawingSize = size % 32 == 0 ? 32 : 16;
    const QImage drawing = appIconImage(drawingSize).convertToFormat(QImage::Format_ARGB32);
    if (drawing.width() != drawingSize || drawing.height() != drawingSize) return {};
    const int factor = size / drawingSize;
    QImage icon(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(drawing.constScanLine(y / factor));
        auto* to = reinterpret_cast<QRgb*>(icon.scanLine(y));
        for (int x = 0; x < size; ++x) to[x] = from[x / factor];
    }
    return icon;
}

}  // namespace pelorin
