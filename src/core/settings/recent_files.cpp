#include "settings/recent_files.h"

#include <algorithm>

namespace pelorin {

namespace {

constexpr const char* kRecentGroup = "Recent";
constexpr const char* kFoldersGroup = "Folders";

std::string entryName(std::size_t index) { return "File" + std::to_string(index + 1); }

}  // namespace

std::vector<std::string> readRecentFiles(SettingsStore& store) {
    std::vector<std::string> files;
    for (std::size_t i = 0; i < kRecentFileLimit; ++i) {
        std::string path = store.readString(kRecentGroup, entryName(i), "");
        if (path.empty() || std::find(files.begin(), files.end(), path) != files.end()) continue;
        files.push_back(std::move(path));
    }
    return files;
}

void writeRecentFiles(SettingsStore& store, const std::vector<std::string>& files) {
    // Entries past the list are written empty, so a shorter list leaves no
    // old name behind.
    for (std::size_t i = 0; i < kRecentFileLimit; ++i)
        store.writeString(kRecentGroup, entryName(i), i < files.size() ? files[i] : std::string());
}

std::vector<std::string> withRecentFile(std::vector<std::string> files, const std::string& path) {
    files = withoutRecentFile(std::move(files), path);
    files.insert(files.begin(), path);
    if (files.size() > kRecentFileLimit) files.resize(kRecentFileLimit);
    return files;
}

std::vector<std::string> withoutRecentFile(std::vector<std::string> files, const std::string& path) {
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    return files;
}

std::string readLastFolder(SettingsStore& store, std::string_view dialog) {
    return store.readString(kFoldersGroup, dialog, "");
}

void writeLastFolder(SettingsStore& store, std::string_view dialog, std::string_view folder) {
    store.writeString(kFoldersGroup, dialog, folder);
}

std::string folderOf(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    return std::string(path.substr(0, slash == 0 ? 1 : slash));
}

std::string fileNameOf(std::string_view path) {
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string documentWindowTitle(std::string_view fileName, bool modified, std::string_view title) {
    if (fileName.empty()) return std::string(title);
    std::string text(fileName);
    if (modified) text += '*';
    return text + " - " + std::string(title);
}

}  // namespace pelorin
