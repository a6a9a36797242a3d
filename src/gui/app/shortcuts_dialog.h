#pragma once

#include <string>
#include <vector>

class QWidget;

namespace pelorin {

// One row of Help > Keyboard shortcuts: where the command is ("File > Save",
// or its name for a command that only keys reach) and its keys.
struct ShortcutRow {
    std::string command;
    std::string keys;  // "Ctrl+S", several separated by ", "; empty for none
};

// Every command of the command table with its keys, in menu order, then the
// commands that only keys reach.
std::vector<ShortcutRow> shortcutRows();

// Shows the table of rows over parent until closed.
void showShortcuts(QWidget* parent);

}  // namespace pelorin
