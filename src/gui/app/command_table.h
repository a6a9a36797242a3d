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
// Documents with names, the view fitted to the window, help.
inline constexpr int kFileSaveAs = 32851;
inline constexpr int kViewFitToWindow = 32852;
inline constexpr int kPasteTransparent = 32853;
inline constexpr int kHelpShortcuts = 32854;
inline constexpr int kHelpAbout = 32855;
// File > Open Recent: the submenu's item, and one command for each of its
// entries, newest first.
inline constexpr int kFileOpenRecent = 32856;
inline constexpr int kRecentFileCount = 8;
inline constexpr int kFileRecentFirst = 32860;
// Drawing tools, their switches, and changes of the whole picture.
inline constexpr int kToolEllipse = 32900;
inline constexpr int kToolInvertPen = 32901;
inline constexpr int kToolFilled = 32902;
inline constexpr int kMirrorHorizontally = 32903;
inline constexpr int kMirrorVertically = 32904;
inline constexpr int kFillPattern = 32905;  // the submenu's item
inline constexpr int kFlipHorizontally = 32906;
inline constexpr int kFlipVertically = 32907;
inline constexpr int kRotate180 = 32908;
inline constexpr int kInvertColours = 32909;
inline constexpr int kShiftLeft = 32910;
inline constexpr int kShiftRight = 32911;
inline constexpr int kShiftUp = 32912;
inline constexpr int kShiftDown = 32913;
// Tools > Fill pattern's entries, in the order of the core's patterns.
inline constexpr int kFillPatternFirst = 32920;
inline constexpr int kFillPatternCount = 9;
// Ringtones.
inline constexpr int kRingtone = 32940;
inline constexpr int kSendRingtone = 32941;

inline constexpr int kSeparator = 0;

struct MenuItem {
    std::string_view menu;  // "File", "Edit", "Tools", "View", "Send" or "Help"
    std::string_view text;  // as written in the menu resource: "&&" shows as "&"
    int id;                 // kSeparator for a separator line
};

inline constexpr std::array<std::string_view, 6> kMenus = {"File", "Edit", "Tools", "View", "Send", "Help"};

inline constexpr std::array<MenuItem, 66> kMenuItems = {{
    {"File", "New", kFileNew},
    {"File", "Open", kFileOpen},
    {"File", "Open &Recent", kFileOpenRecent},
    {"File", "Save", kFileSave},
    {"File", "Save &As...", kFileSaveAs},
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
    {"Edit", "Paste &transparent", kPasteTransparent},
    {"Edit", "", kSeparator},
    {"Edit", "Flip &horizontally", kFlipHorizontally},
    {"Edit", "Flip &vertically", kFlipVertically},
    {"Edit", "R&otate 180°", kRotate180},
    {"Edit", "&Invert colours", kInvertColours},
    {"Edit", "Shift &left", kShiftLeft},
    {"Edit", "Shift &right", kShiftRight},
    {"Edit", "Shift &up", kShiftUp},
    {"Edit", "Shift &down", kShiftDown},
    {"Tools", "Pen", kToolPen},
    {"Tools", "Eraser", kToolEraser},
    {"Tools", "Line", kToolLine},
    {"Tools", "Rectangle", kToolRectangle},
    {"Tools", "Fill", kToolFill},
    {"Tools", "Text...", kText},
    {"Tools", "&Ellipse", kToolEllipse},
    {"Tools", "&Invert pen", kToolInvertPen},
    {"Tools", "", kSeparator},
    {"Tools", "Fi&lled", kToolFilled},
    {"Tools", "Mirror &horizontally", kMirrorHorizontally},
    {"Tools", "Mirror &vertically", kMirrorVertically},
    {"Tools", "Fill &pattern", kFillPattern},
    {"Tools", "Ringtone...", kRingtone},
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
    {"View", "", kSeparator},
    {"View", "&Fit to window", kViewFitToWindow},
    {"Send", "Operator logo", kSendOperatorLogo},
    {"Send", "Group graphic", kSendGroupGraphic},
    {"Send", "", kSeparator},
    {"Send", "Restore operator logo", kSendRestoreOperatorLogo},
    {"Send", "", kSeparator},
    {"Send", "Picture message", kSendPictureMessage},
    {"Send", "", kSeparator},
    {"Send", "Ringtone", kSendRingtone},
    {"Help", "&Keyboard shortcuts", kHelpShortcuts},
    {"Help", "", kSeparator},
    {"Help", "&About Pelorin", kHelpAbout},
}};

// The entries of submenus: the id of the menu item that opens the submenu,
// the entry's text and its id.
struct SubmenuItem {
    int parent;
    std::string_view text;
    int id;
};
inline constexpr std::array<SubmenuItem, kFillPatternCount> kSubmenuItems = {{
    {kFillPattern, "&Solid", kFillPatternFirst + 0},
    {kFillPattern, "&50% checker", kFillPatternFirst + 1},
    {kFillPattern, "&25% dots", kFillPatternFirst + 2},
    {kFillPattern, "&75% dots", kFillPatternFirst + 3},
    {kFillPattern, "&Horizontal lines", kFillPatternFirst + 4},
    {kFillPattern, "&Vertical lines", kFillPatternFirst + 5},
    {kFillPattern, "&Rising diagonals", kFillPatternFirst + 6},
    {kFillPattern, "&Falling diagonals", kFillPatternFirst + 7},
    {kFillPattern, "&Bricks", kFillPatternFirst + 8},
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
inline constexpr std::array<Shortcut, 51> kShortcuts = {{
    {kFileSaveAs, "Ctrl+Shift+S"},
    {kViewFitToWindow, "Ctrl+0"},
    {kPasteTransparent, "Ctrl+Shift+V"},
    {kHelpShortcuts, "F1"},
    {kEditUndo, "Ctrl+Z"},
    {kCopyPicture, "Ctrl+C"},
    {kPastePicture, "Ctrl+V"},
    {kText, "T"},
    {kRingtone, "Ctrl+M"},
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
    {kToolEllipse, "O"},
    {kToolInvertPen, "I"},
    {kToolFilled, "Shift+F"},
    {kMirrorHorizontally, "Shift+H"},
    {kMirrorVertically, "Shift+V"},
    {kFlipHorizontally, "H"},
    {kFlipVertically, "V"},
    {kRotate180, "Ctrl+R"},
    {kInvertColours, "Ctrl+Shift+I"},
    {kShiftLeft, "Ctrl+Left"},
    {kShiftRight, "Ctrl+Right"},
    {kShiftUp, "Ctrl+Up"},
    {kShiftDown, "Ctrl+Down"},
    {kFillPatternFirst + 0, "Ctrl+Alt+0"},
    {kFillPatternFirst + 1, "Ctrl+Alt+1"},
    {kFillPatternFirst + 2, "Ctrl+Alt+2"},
    {kFillPatternFirst + 3, "Ctrl+Alt+3"},
    {kFillPatternFirst + 4, "Ctrl+Alt+4"},
    {kFillPatternFirst + 5, "Ctrl+Alt+5"},
    {kFillPatternFirst + 6, "Ctrl+Alt+6"},
    {kFillPatternFirst + 7, "Ctrl+Alt+7"},
    {kFillPatternFirst + 8, "Ctrl+Alt+8"},
}};
// The commands that only keys reach.
inline constexpr std::array<int, 6> kKeyOnlyCommands = {kZoomIn,     kZoomOut, kNudgeLeft,
                                                        kNudgeRight, kNudgeUp, kNudgeDown};

// What the keys-only commands are called in the table of keys.
struct CommandName {
    int id;
    std::string_view text;
};
inline constexpr std::array<CommandName, 6> kKeyOnlyNames = {{
    {kZoomIn, "Zoom in"},
    {kZoomOut, "Zoom out"},
    {kNudgeLeft, "Move selection left"},
    {kNudgeRight, "Move selection right"},
    {kNudgeUp, "Move selection up"},
    {kNudgeDown, "Move selection down"},
}};

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

// The commands whose tooltips name their keys: the drawing tools' switches
// and the changes of the whole picture.
inline constexpr bool tooltipNamesKeys(int id) {
    return (id >= kToolEllipse && id <= kShiftDown) ||
           (id >= kFillPatternFirst && id < kFillPatternFirst + kFillPatternCount);
}

// The tooltip texts of the command bar, in order.
inline constexpr std::array<std::string_view, 7> kTooltips = {"New", "File", "Help", "Cut", "Copy", "Paste", "About"};

inline constexpr std::string_view kWindowTitle = "Pelorin 0.96 Beta";
inline constexpr std::string_view kVersionText = "0.96 Beta";

}  // namespace pelorin::command
