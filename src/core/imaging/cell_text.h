#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "document/canvas.h"

namespace pelorin {

// Cells as text: one line a row, top row first, '#' a set cell and '.' a
// clear one, each line ended by '\n' (as pelorin-cli show prints a logo).
std::string cellText(const Canvas& cells);

// The cells of such a text: every line as long as the first and made only of
// '#' and '.' ("\r\n" line ends and trailing empty lines are taken too).
// Nothing for any other text, or one larger than maxSize.
std::optional<Canvas> parseCellText(std::string_view text, CanvasSize maxSize);

}  // namespace pelorin
