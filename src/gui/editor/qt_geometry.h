#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>

#include "editor/geometry.h"

namespace pelorin {

inline QColor toQColor(Rgb colour) { return QColor(colour.red, colour.green, colour.blue); }
// Our rectangles keep right and bottom exclusive; QRect's are inclusive.
inline QRect toQRect(const Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }
inline Rect fromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
inline Point fromQPoint(const QPoint& p) { return {p.x(), p.y()}; }

}  // namespace pelorin
