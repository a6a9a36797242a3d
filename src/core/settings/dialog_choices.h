#pragma once

#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace pelorin {

// What Export picture offers again: the type (0 PNG, 1 BMP), the scale (1 to
// 16 pixels a cell), the look (0 black on white, 1 phone screen) and the
// 1-bit choice, in the settings group "ExportPicture". A stored value out of
// range gives the default.
struct ExportChoices {
    int type = 0;
    int scale = 4;
    int look = 0;
    bool oneBit = false;
};
ExportChoices readExportChoices(SettingsStore& store);
void writeExportChoices(SettingsStore& store, const ExportChoices& choices);

// What the Text dialog offers again: the text, the font as the font list
// names it, the height (6 to 28 pixels) and the Transparent box, in the group
// "Text". A stored text longer than kMaxRememberedText is dropped.
inline constexpr std::size_t kMaxRememberedText = 4096;
struct TextChoices {
    std::string text;
    std::string font;
    int height = 12;
    bool transparent = false;
};
TextChoices readTextChoices(SettingsStore& store);
void writeTextChoices(SettingsStore& store, const TextChoices& choices);

// The picture name proposed for a canvas's file: its name with the format's
// extension instead of its own ("/a/logo.plr", "png" -> "logo.png"); empty
// for a canvas without a file.
std::string exportFileName(std::string_view documentPath, std::string_view format);

}  // namespace pelorin
