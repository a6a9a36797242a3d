#pragma once

#include <QIcon>
#include <QImage>

namespace pelorin {

// The program's icon (icon 128), drawn by us as pixel art in two sizes.
// size is 16 or 32; any other size gives the 32-pixel drawing.
QImage appIconImage(int size);

// Both drawings in one icon, for windows and dialogs.
QIcon appIcon();

}  // namespace pelorin
