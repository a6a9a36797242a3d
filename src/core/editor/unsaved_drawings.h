#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "document/logo_kind.h"

namespace pelorin {

// A canvas's name as the View menu shows it.
std::string_view canvasName(LogoKind kind);

// The question asked before the program ends while drawings are not saved:
// "Drawings that are not saved will be lost: Picture message." with the
// canvases named in View menu order.
std::string unsavedDrawingsQuestion(const std::vector<LogoKind>& kinds);

}  // namespace pelorin
