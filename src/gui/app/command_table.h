#pragma once

// The program's commands: ids, menus and texts in one table that the menus,
// the router and the tests all read. Plain C++ so that anything may use it.

#include <array>
#include <cstddef>
#include <string_view>

namespace pelorin::command {

inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;

inline constexpr int kSendOperatorLogo = 32781;
inline constexpr int kSendGroupGraphic = 32782;
inline constexpr int kSendRestoreOperatorLogo = 32783;
inline constexpr int kToolPen = 32787;
inline constexpr int kToolEraser = 32788;
inline constexpr int kToolMoving = 32789;
inline constexpr int kToolSelection = 32790;
inline constexpr int kCopySelection = 32791;
inline constexpr int kHideSelection = 32792;
inline constexpr int kDeleteSelection = 32793;
inline constexpr int kViewOperator = 32797;
inline constexpr int kViewPicture = 32798;
inline constexpr int kSendPictureMessage = 32799;
inline constexpr int kViewLargeOperator = 32800;
inline constexpr int kSettings = 32801;
// Commands of the desktop editor, numbered apart from those above.
inline constexpr int kFileImportFromPhone = 32850;
inline constexpr int kSendEmsPicture = 32851;
inline constexpr int kEditUndo = 32820;
inline constexpr int kEditRedo = 32821;
inline constexpr int kToolLine = 32822;
inline constexpr int kToolRectangle = 32823;
inline constexpr int kToolFill = 32824;
// Keys only, without a menu item.
inline constexpr int kZoomIn = 32830;
inline constexpr int kZoomOut = 32831;
inline constexpr int kNudgeLeft = 32832;
inline constexpr int kNudgeRight = 32833;
inline constexpr int kNudgeUp = 32834;
inline constexpr int kNudgeDown = 32835;
// Pictures and text in and out.
inline constexpr int kImportPicture = 32840;
inline constexpr int kExportPicture = 32841;
inline constexpr int kText = 32842;
inline constexpr int kCopyPicture = 32843;
inline constexpr int kPastePicture = 32844;

inline constexpr int kSeparator = 0;

struct MenuItem {
    std::string_view menu;  // "File", "Edit", "Tools", "View" or "Send"
    std::string_view text;  // as written in the menu resource: "&&" shows as "&"
    int id;                 // kSeparator for a separator line
};

inline constexpr std::array<std::string_view, 5> kMenus = {"File", "Edit", "Tools", "View", "Send"};

inline constexpr std::array<MenuItem, 40> kMenuItems = {{
    {"File", "New", kFileNew},
    {"File", "Open", kFileOpen},
    {"File", "Save", kFileSave},
    {"File", "Import picture...", kImportPicture},
    {"File", "Export picture...", kExportPicture},
    {"File", "Import from phone...", kFileImportFromPhone},
    {"File", "", kSeparator},
    {"File", "About", kAppAbout},
    {"File", "", kSeparator},
    {"File", "Exit", kAppExit},
    {"Edit", "Undo", kEditUndo},
    {"Edit", "Redo", kEditRedo},
    {"Edit", "", kSeparator},
    {"Edit", "Copy picture", kCopyPicture},
    {"Edit", "Paste picture", kPastePicture},
    {"Tools", "Pen", kToolPen},
    {"Tools", "Eraser", kToolEraser},
    {"Tools", "Line", kToolLine},
    {"Tools", "Rectangle", kToolRectangle},
    {"Tools", "Fill", kToolFill},
    {"Tools", "Text...", kText},
    {"Tools", "", kSeparator},
    {"Tools", "Moving", kToolMoving},
    {"Tools", "", kSeparator},
    {"Tools", "Selection", kToolSelection},
    {"Tools", "Hide selection", kHideSelection},
    {"Tools", "Copy", kCopySelection},
    {"Tools", "Delete", kDeleteSelection},
    {"Tools", "", kSeparator},
    {"Tools", "Settings", kSettings},
    {"View", "Operator logo && group graphic", kViewOperator},
    {"View", "Picture message", kViewPicture},
    {"View", "62xx/71xx Operator logo", kViewLargeOperator},
    {"Send", "Operator logo", kSendOperatorLogo},
    {"Send", "Group graphic", kSendGroupGraphic},
    {"Send", "", kSeparator},
    {"Send", "Restore operator logo", kSendRestoreOperatorLogo},
    {"Send", "", kSeparator},
    {"Send", "Picture message", kSendPictureMessage},
    {"Send", "EMS picture", kSendEmsPicture},
}};

// Keyboard shortcuts, all with Ctrl.
struct Accelerator {
    char key;
    int id;
};
inline constexpr std::array<Accelerator, 6> kAccelerators = {{
    {'N', kFileNew},
    {'O', kFileOpen},
    {'S', kFileSave},
    {'I', kImportPicture},
    {'E', kExportPicture},
    {'Q', kAppExit},
}};

// Further keys, as QKeySequence reads them; a command may have several.
struct Shortcut {
    int id;
    std::string_view keys;
};
inline constexpr std::array<Shortcut, 24> kShortcuts = {{
    {kEditUndo, "Ctrl+Z"},
    {kCopyPicture, "Ctrl+C"},
    {kPastePicture, "Ctrl+V"},
    {kText, "T"},
    {kEditRedo, "Ctrl+Shift+Z"},
    {kEditRedo, "Ctrl+Y"},
    {kToolPen, "P"},
    {kToolEraser, "E"},
    {kToolMoving, "M"},
    {kToolSelection, "S"},
    {kToolLine, "L"},
    {kToolRectangle, "R"},
    {kToolFill, "F"},
    {kZoomIn, "+"},
    {kZoomIn, "Ctrl+="},
    {kZoomIn, "Ctrl++"},
    {kZoomOut, "-"},
    {kZoomOut, "Ctrl+-"},
    {kDeleteSelection, "Del"},
    {kHideSelection, "Esc"},
    {kNudgeLeft, "Left"},
    {kNudgeRight, "Right"},
    {kNudgeUp, "Up"},
    {kNudgeDown, "Down"},
}};
// The commands that only keys reach.
inline constexpr std::array<int, 6> kKeyOnlyCommands = {kZoomIn, kZoomOut, kNudgeLeft, kNudgeRight, kNudgeUp, kNudgeDown};

// Every command id is used once in the menus.
consteval bool menuIdsAreUnique() {
    for (std::size_t i = 0; i < kMenuItems.size(); ++i)
        for (std::size_t j = i + 1; j < kMenuItems.size(); ++j)
            if (kMenuItems[i].id != kSeparator && kMenuItems[i].id == kMenuItems[j].id) return false;
    for (int id : kKeyOnlyCommands)
        for (const auto& item : kMenuItems)
            if (item.id == id) return false;
    return true;
}
static_assert(menuIdsAreUnique());

// The tooltip texts of the command bar, in order.
inline constexpr std::array<std::string_view, 7> kTooltips = {"New", "File", "Help", "Cut", "Copy", "Paste", "About"};

inline constexpr std::string_view kWindowTitle = "Pelorin 0.96 Beta";
inline constexpr std::string_view kVersionText = "0.96 Beta";

}  // namespace pelorin::command
