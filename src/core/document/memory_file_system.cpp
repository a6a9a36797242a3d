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

// Writing past the end of the file takes free bytes; writing over what it
// already holds does not.
class MemoryRewritableFile : public RewritableFile {
public:
    MemoryRewritableFile(MemoryFileSystem& owner, std::string path) : owner_(owner), path_(std::move(path)) {}

    std::optional<std::uint64_t> size() override { return file().size(); }

    std::optional<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
        const auto& bytes = file();
        if (offset >= bytes.size()) return 0;
        const auto start = static_cast<std::size_t>(offset);
        const std::size_t count = std::min(out.size(), bytes.size() - start);
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(start), count, out.begin());
        return count;
    }

    bool writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        auto& stored = file();
        const auto start = static_cast<std::size_t>(offset);
        if (stored.size() < start) return false;
        std::size_t count = bytes.size();
        const std::size_t growth = start + count > stored.size() ? start + count - stored.size() : 0;
        if (owner_.freeBytes && growth > *owner_.freeBytes) count -= growth - *owner_.freeBytes;
        if (start + count > stored.size()) {
            if (owner_.freeBytes) *owner_.freeBytes -= start + count - stored.size();
            stored.resize(start + count);
        }
        std::copy_n(bytes.begin(), count, stored.begin() + static_cast<std::ptrdiff_t>(start));
        return count == bytes.size();
    }

    bool truncate(std::uint64_t size) override {
        file().resize(static_cast<std::size_t>(size));
        return true;
    }

    bool sync() override { return !owner_.failSync; }
    bool close() override { return true; }

private:
    std::vector<std::uint8_t>& file() { return owner_.files[path_]; }

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
    if (inUnwritableFolder(target)) return nullptr;
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

SavePlan MemoryFileSystem::planSave(const std::string& path) {
    SavePlan plan{path, false};
    for (std::size_t hops = 0; symlinks.count(plan.path) != 0; ++hops) {
        if (hops > symlinks.size()) return {};  // a loop of links
        plan.path = symlinks.at(plan.path);
    }
    plan.inPlace = files.count(plan.path) != 0 && (inPlaceOnly.count(plan.path) != 0 || inUnwritableFolder(plan.path));
    return plan;
}

std::unique_ptr<RewritableFile> MemoryFileSystem::openForRewriting(const std::string& path) {
    if (files.count(path) == 0 || unopenable.count(path) != 0) return nullptr;
    return std::make_unique<MemoryRewritableFile>(*this, path);
}

bool MemoryFileSystem::inUnwritableFolder(const std::string& path) const {
    for (const auto& folder : unwritableFolders)
        if (path.compare(0, folder.size(), folder) == 0) return true;
    return false;
}

}  // namespace pelorin
