#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "document/file_system.h"

namespace pelorin {

// Files held in memory, for tests and fuzzers. Folders are not modelled
// except as path prefixes that can be made unwritable. The public switches
// simulate the failures of a real disk.
class MemoryFileSystem : public FileSystem {
public:
    std::map<std::string, std::vector<std::uint8_t>> files;

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

    std::unique_ptr<InputFile> openForReading(const std::string& path) override;
    std::unique_ptr<OutputFile> createTemporaryBeside(const std::string& target, std::string& temporaryPath) override;
    bool replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;

private:
    unsigned temporaryCounter_ = 0;
};

}  // namespace pelorin
