#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_store.h"

namespace pelorin {

// File > Open Recent: the last files opened or saved, newest first, kept in
// the settings group "Recent" as File1 to File8.
inline constexpr std::size_t kRecentFileLimit = 8;

// The stored list: empty entries and repeats skipped, at most eight.
std::vector<std::string> readRecentFiles(SettingsStore& store);
void writeRecentFiles(SettingsStore& store, const std::vector<std::string>& files);
// The list with path first (taken out of where it was), cut to eight.
std::vector<std::string> withRecentFile(std::vector<std::string> files, const std::string& path);
std::vector<std::string> withoutRecentFile(std::vector<std::string> files, const std::string& path);

// The folders the file dialogs last used, by dialog ("Open", "Save",
// "ImportPicture", "ExportPicture"), in the group "Folders". Empty when none
// is stored.
std::string readLastFolder(SettingsStore& store, std::string_view dialog);
void writeLastFolder(SettingsStore& store, std::string_view dialog, std::string_view folder);

// The folder part of a path ("/a/b.plr" -> "/a", "b.plr" -> ""), and the
// name after the last "/".
std::string folderOf(std::string_view path);
std::string fileNameOf(std::string_view path);

// The main window's title: "NAME - TITLE" for a canvas with a file, "*"
// after NAME while the canvas differs from it; TITLE alone without a file.
std::string documentWindowTitle(std::string_view fileName, bool modified, std::string_view title);

}  // namespace pelorin
