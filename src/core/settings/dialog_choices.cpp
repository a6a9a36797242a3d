#include "settings/dialog_choices.h"

#include "settings/recent_files.h"

namespace pelorin {

namespace {

constexpr const char* kExportGroup = "ExportPicture";
constexpr const char* kTextGroup = "Text";

int readInRange(SettingsStore& store, std::string_view group, std::string_view name, int low, int high, int fallback) {
    const std::int32_t value = store.readInt(group, name, fallback);
    return value < low || value > high ? fallback : static_cast<int>(value);
}

}  // namespace

ExportChoices readExportChoices(SettingsStore& store) {
    ExportChoices choices;
    choices.type = readInRange(store, kExportGroup, "Type", 0, 1, choices.type);
    choices.scale = readInRange(store, kExportGroup, "Scale", 1, 16, choices.scale);
    choices.look = readInRange(store, kExportGroup, "Look", 0, 1, choices.look);
    choices.oneBit = readInRange(store, kExportGroup, "OneBit", 0, 1, 0) == 1;
    return choices;
}

void writeExportChoices(SettingsStore& store, const ExportChoices& choices) {
    store.writeInt(kExportGroup, "Type", choices.type);
    store.writeInt(kExportGroup, "Scale", choices.scale);
    store.writeInt(kExportGroup, "Look", choices.look);
    store.writeInt(kExportGroup, "OneBit", choices.oneBit ? 1 : 0);
}

TextChoices readTextChoices(SettingsStore& store) {
    TextChoices choices;
    choices.text = store.readString(kTextGroup, "Text", "");
    if (choices.text.size() > kMaxRememberedText) choices.text.clear();
    choices.font = store.readString(kTextGroup, "Font", "");
    choices.height = readInRange(store, kTextGroup, "Height", 6, 28, choices.height);
    choices.transparent = readInRange(store, kTextGroup, "Transparent", 0, 1, 0) == 1;
    return choices;
}

void writeTextChoices(SettingsStore& store, const TextChoices& choices) {
    store.writeString(kTextGroup, "Text", choices.text.size() > kMaxRememberedText ? "" : choices.text);
    store.writeString(kTextGroup, "Font", choices.font);
    store.writeInt(kTextGroup, "Height", choices.height);
    store.writeInt(kTextGroup, "Transparent", choices.transparent ? 1 : 0);
}

std::string exportFileName(std::string_view documentPath, std::string_view format) {
    std::string name = fileNameOf(documentPath);
    if (name.empty()) return {};
    // A leading dot belongs to the name (".logo" keeps it).
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name + "." + std::string(format);
}

}  // namespace pelorin
