#include "document/memory_file_system.h"

#include <algorithm>

namespace pelorin {

namespace {

class MemoryInputFile : public InputFile {
public:
    MemoryInputFile(const std::vector<std::uint8_t>& bytes, bool failReads) : bytes_(bytes), failReads_(failReads) {}

    std::optional<std::uint64_t> size() override { return bytes_.size(); }

    std::optional<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
        if (failReads_) return std::nullopt;
        if (offset >= bytes_.size()) return 0;
        const auto start = static_cast<std::size_t>(offset);
        const std::size_t count = std::min(out.size(), bytes_.size() - start);
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(start), count, out.begin());
        return count;
    }

private:
    std::vector<std::uint8_t> bytes_;  // a copy: the file may change while open
    bool failReads_;
};

class MemoryOutputFile : public OutputFile {
public:
    MemoryOutputFile(MemoryFileSystem& owner, std::string path) : owner_(owner), path_(std::move(path)) {}

    bool write(std::span<const std::uint8_t> bytes) override {
        auto& file = owner_.files[path_];
        std::size_t count = bytes.size();
        if (owner_.freeBytes) count = std::min(count, *owner_.freeBytes);
        file.insert(file.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
        if (owner_.freeBytes) *owner_.freeBytes -= count;
        return count == bytes.size();
    }

    bool sync() override { return !owner_.failSync; }
    bool close() override { return true; }

private:
    MemoryFileSystem& owner_;
    std::string path_;
};

}  // namespace

std::unique_ptr<InputFile> MemoryFileSystem::openForReading(const std::string& path) {
    const auto found = files.find(path);
    if (found == files.end() || unopenable.count(path) != 0) return nullptr;
    return std::make_unique<MemoryInputFile>(found->second, unreadable.count(path) != 0);
}

std::unique_ptr<OutputFile> MemoryFileSystem::createTemporaryBeside(const std::string& target,
                                                                    std::string& temporaryPath) {
    for (const auto& folder : unwritableFolders)
        if (target.compare(0, folder.size(), folder) == 0) return nullptr;
    temporaryPath = target + "." + std::to_string(temporaryCounter_++) + ".tmp";
    files[temporaryPath];
    return std::make_unique<MemoryOutputFile>(*this, temporaryPath);
}

bool MemoryFileSystem::replace(const std::string& from, const std::string& to) {
    const auto found = files.find(from);
    if (failReplace || found == files.end()) return false;
    auto bytes = std::move(found->second);
    files.erase(found);
    files[to] = std::move(bytes);
    return true;
}

void MemoryFileSystem::remove(const std::string& path) { files.erase(path); }

std::optional<std::vector<FolderEntry>> MemoryFileSystem::listEntries(const std::string& folder) {
    const std::string prefix = folder + "/";
    bool exists = folders.count(folder) != 0;
    std::map<std::string, FolderEntry> entries;
    // Every path under the folder names either a file in it or, by its first
    // component, a folder in it.
    const auto under = [&](const std::string& path) {
        if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) return std::string();
        return path.substr(prefix.size());
    };
    for (const auto& [path, bytes] : files) {
        const std::string rest = under(path);
        if (rest.empty()) continue;
        exists = true;
        const auto slash = rest.find('/');
        if (slash == std::string::npos) {
            entries[rest] = {rest, FolderEntry::Type::File, bytes.size()};
            continue;
        }
        const std::string name = rest.substr(0, slash);
        entries.try_emplace(name, FolderEntry{name, FolderEntry::Type::Folder, 0});
    }
    for (const auto& path : folders) {
        const std::string rest = under(path);
        if (rest.empty()) continue;
        exists = true;
        const std::string name = rest.substr(0, rest.find('/'));
        entries.try_emplace(name, FolderEntry{name, FolderEntry::Type::Folder, 0});
    }
    if (!exists) return std::nullopt;
    std::vector<FolderEntry> list;
    for (auto& [name, entry] : entries) list.push_back(std::move(entry));
    return list;
}

}  // namespace pelorin
