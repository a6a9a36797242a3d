#include "document/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>

namespace pelorin {

namespace {

std::optional<std::uint64_t> sizeOf(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size < 0) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

std::optional<std::size_t> readAtOffset(int fd, std::uint64_t offset, std::span<std::uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        const auto at = static_cast<off_t>(offset + done);
        if (at < 0) return std::nullopt;
        const ssize_t got = ::pread(fd, out.data() + done, out.size() - done, at);
        if (got < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

// Writes all of bytes, at offset when one is given, else at the file position;
// a short write that makes no progress is a failure.
bool writeAll(int fd, std::span<const std::uint8_t> bytes, std::optional<std::uint64_t> offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = 0;
        if (offset) {
            const auto at = static_cast<off_t>(*offset + done);
            if (at < 0) return false;
            put = ::pwrite(fd, bytes.data() + done, bytes.size() - done, at);
        } else {
            put = ::write(fd, bytes.data() + done, bytes.size() - done);
        }
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (put == 0) return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// Closes a descriptor once; later calls succeed without doing anything.
bool closeOnce(int& fd) {
    if (fd < 0) return true;
    const int held = fd;
    fd = -1;
    return ::close(held) == 0;
}

class PosixInputFile : public InputFile {
public:
    explicit PosixInputFile(int fd) : fd_(fd) {}
    ~PosixInputFile() override { ::close(fd_); }
    PosixInputFile(const PosixInputFile&) = delete;
    PosixInputFile& operator=(const PosixInputFile&) = delete;

    std::optional<std::uint64_t> size() override { return sizeOf(fd_); }
    std::optional<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
        return readAtOffset(fd_, offset, out);
    }

private:
    int fd_;
};

class PosixRewritableFile : public RewritableFile {
public:
    explicit PosixRewritableFile(int fd) : fd_(fd) {}
    ~PosixRewritableFile() override { close(); }
    PosixRewritableFile(const PosixRewritableFile&) = delete;
    PosixRewritableFile& operator=(const PosixRewritableFile&) = delete;

    std::optional<std::uint64_t> size() override { return fd_ < 0 ? std::nullopt : sizeOf(fd_); }
    std::optional<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
        return fd_ < 0 ? std::nullopt : readAtOffset(fd_, offset, out);
    }

    bool writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        return fd_ >= 0 && writeAll(fd_, bytes, offset);
    }

    bool truncate(std::uint64_t size) override {
        const auto length = static_cast<off_t>(size);
        return fd_ >= 0 && length >= 0 && ::ftruncate(fd_, length) == 0;
    }

    bool sync() override { return fd_ >= 0 && ::fsync(fd_) == 0; }

    bool close() override { return closeOnce(fd_); }

private:
    int fd_;
};

class PosixOutputFile : public OutputFile {
public:
    explicit PosixOutputFile(int fd) : fd_(fd) {}
    ~PosixOutputFile() override { close(); }
    PosixOutputFile(const PosixOutputFile&) = delete;
    PosixOutputFile& operator=(const PosixOutputFile&) = delete;

    bool write(std::span<const std::uint8_t> bytes) override { return writeAll(fd_, bytes, std::nullopt); }

    bool sync() override { return fd_ >= 0 && ::fsync(fd_) == 0; }

    bool close() override { return closeOnce(fd_); }

private:
    int fd_;
};

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path up to and including its last slash; empty for a bare name.
std::string folderPrefixOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// ".NAME.UNIQUE.tmp", with NAME shortened (at a character boundary of
// UTF-8) as far as the whole must to fit in one file name.
std::string temporaryName(const std::string& name, const std::string& unique) {
    const std::string suffix = "." + unique + ".tmp";
    const std::size_t room = NAME_MAX - 1 - suffix.size();
    std::size_t keep = std::min(name.size(), room);
    const auto continuation = [&name](std::size_t at) { return (static_cast<unsigned char>(name[at]) & 0xC0) == 0x80; };
    while (keep > 0 && keep < name.size() && continuation(keep)) --keep;
    return "." + name.substr(0, keep) + suffix;
}

// Follows symbolic links until a path that is not one (it may not exist).
// Empty for a loop of links or a link that cannot be read.
std::string finalTargetOf(const std::string& path) {
    constexpr int kMostLinks = 40;  // as many as the kernel follows
    std::string current = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        if (hops == kMostLinks) return {};
        char target[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), target, sizeof target);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) return {};
        const std::string text(target, static_cast<std::size_t>(length));
        current = text.front() == '/' ? text : folderPrefixOf(current) + text;
    }
}

// Makes rename durable: the new directory entry is flushed as well.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::unique_ptr<InputFile> PosixFileSystem::openForReading(const std::string& path) {
    // Non-blocking, so a named pipe cannot stall the open; only regular files
    // are read, never devices, pipes or folders.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixInputFile>(fd);
}

std::unique_ptr<OutputFile> PosixFileSystem::createTemporaryBeside(const std::string& target,
                                                                   std::string& temporaryPath) {
    static std::atomic<unsigned> counter{0};
    const std::string folder = folderOf(target);
    const std::string stem = baseNameOf(target);
    // A replaced file keeps its permissions; a new one gets the usual ones
    // (0666 less the umask, which open applies).
    struct stat existing {};
    const bool keepMode = ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = (folder == "/" ? "" : folder) + "/" +
                                      temporaryName(stem, std::to_string(::getpid()) + "-" + std::to_string(counter++));
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        if (keepMode) ::fchmod(fd, existing.st_mode & 07777);
        temporaryPath = candidate;
        return std::make_unique<PosixOutputFile>(fd);
    }
    return nullptr;
}

bool PosixFileSystem::replace(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) return false;
    syncFolder(folderOf(to));
    return true;
}

void PosixFileSystem::remove(const std::string& path) { ::unlink(path.c_str()); }

std::optional<std::vector<FolderEntry>> PosixFileSystem::listEntries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return std::nullopt;
    std::vector<FolderEntry> entries;
    while (const dirent* found = ::readdir(dir)) {
        const std::string name = found->d_name;
        if (name == "." || name == "..") continue;
        FolderEntry entry{name, FolderEntry::Type::Other, 0};
        // Links are followed: a link to a file lists as that file.
        struct stat st {};
        if (::fstatat(::dirfd(dir), found->d_name, &st, 0) == 0) {
            if (S_ISDIR(st.st_mode)) entry.type = FolderEntry::Type::Folder;
            if (S_ISREG(st.st_mode) && st.st_size >= 0) {
                entry.type = FolderEntry::Type::File;
                entry.size = static_cast<std::uint64_t>(st.st_size);
            }
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    return entries;
}

SavePlan PosixFileSystem::planSave(const std::string& path) {
    SavePlan plan;
    plan.path = finalTargetOf(path);
    struct stat file {};
    // A new file goes the safe way. Anything else that is there must be a
    // regular file: a rename would put the document in place of a device
    // node, a pipe or a socket, and writing in place would feed it one.
    if (plan.path.empty() || ::stat(plan.path.c_str(), &file) != 0) return plan;
    if (!S_ISREG(file.st_mode)) {
        plan.notARegularFile = true;
        return plan;
    }

    // A rename would split the file from its other names.
    if (file.st_nlink > 1) plan.inPlace = true;
    // The temporary file cannot be made where the folder is not writable.
    const std::string folder = folderOf(plan.path);
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) plan.inPlace = true;
    // A new file belongs to this user and to the folder's group where the
    // folder passes its group on, to this user's group otherwise.
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0) return plan;
    const gid_t newGroup = (dir.st_mode & S_ISGID) != 0 ? dir.st_gid : ::getegid();
    if (file.st_uid != ::geteuid() || file.st_gid != newGroup) plan.inPlace = true;
    return plan;
}

std::unique_ptr<RewritableFile> PosixFileSystem::openForRewriting(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixRewritableFile>(fd);
}

}  // namespace pelorin
