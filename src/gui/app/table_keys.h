#pragma once

#include <QKeySequence>
#include <string_view>

namespace pelorin {

// The keys of the command table ("Ctrl+Shift+S", "Ctrl++", "Left", "F1") as a
// key sequence, read without Qt's general parser: the window takes some fifty
// of them at every start, and that parser looks up translated key names for
// each. A spelling it does not know goes to QKeySequence's portable reading.
QKeySequence tableKeys(std::string_view keys);

}  // namespace pelorin
