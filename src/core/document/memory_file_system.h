#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "document/file_system.h"

namespace pelorin {

// Files held in memory, for tests and fuzzers. A folder exists when a file
// lies under it or it is named in folders; paths are separated by "/". The
// public switches simulate the failures of a real disk.
class MemoryFileSystem : public FileSystem {
public:
    std::map<std::string, std::vector<std::uint8_t>> files;
    // Folders that exist even when empty (such as "/docs/empty").
    std::set<std::string> folders;

    // Paths that exist but cannot be opened, and paths whose reads fail.
    std::set<std::string> unopenable;
    std::set<std::string> unreadable;
    // Folder prefixes (such as "/ro/") in which no file can be created.
    std::set<std::string> unwritableFolders;
    // Bytes the disk still takes; a write beyond them stores what fits and
    // fails, as on a full disk.
    std::optional<std::size_t> freeBytes;
    bool failSync = false;
    bool failReplace = false;
    // Symbolic links: the link's path and the path it points to.
    std::map<std::string, std::string> symlinks;
    // Files that must be written in place (other hard links, another owner).
    std::set<std::string> inPlaceOnly;

    std::unique_ptr<InputFile> openForReading(const std::string& path) override;
    std::unique_ptr<OutputFile> createTemporaryBeside(const std::string& target, std::string& temporaryPath) override;
    bool replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;
    std::optional<std::vector<FolderEntry>> listEntries(const std::string& folder) override;
    SavePlan planSave(const std::string& path) override;
    std::unique_ptr<RewritableFile> openForRewriting(const std::string& path) override;

private:
    bool inUnwritableFolder(const std::string& path) const;
    unsigned temporaryCounter_ = 0;
};

}  // namespace pelorin
