#pragma once

#include "document/file_system.h"

namespace pelorin {

// Files on the local disk through POSIX calls. Saving writes a temporary file
// in the target's folder, flushes it with fsync and renames it over the target,
// so a crash or a full disk never leaves a half-written document in its place.
// A symbolic link is followed to its target, and a file that the rename would
// change (other hard links, another owner or group) or that sits in a folder
// this user cannot write is written in place instead.
class PosixFileSystem : public FileSystem {
public:
    std::unique_ptr<InputFile> openForReading(const std::string& path) override;
    std::unique_ptr<OutputFile> createTemporaryBeside(const std::string& target, std::string& temporaryPath) override;
    bool replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;
    std::optional<std::vector<FolderEntry>> listEntries(const std::string& folder) override;
    SavePlan planSave(const std::string& path) override;
    std::unique_ptr<RewritableFile> openForRewriting(const std::string& path) override;
};

}  // namespace pelorin
