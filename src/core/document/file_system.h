#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pelorin {

// A file opened for reading. Reads are positioned, so a reader takes only the
// parts it needs and never more than the file holds.
class InputFile {
public:
    virtual ~InputFile() = default;
    // The length in bytes, or nothing when it cannot be told.
    virtual std::optional<std::uint64_t> size() = 0;
    // Reads up to out.size() bytes from offset. Returns how many were read,
    // fewer only at the end of the file, or nothing on a read error.
    virtual std::optional<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
};

// A new file being written; it becomes visible under its final name only
// through FileSystem::replace.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Writes all bytes or reports failure (a full disk may stop it half-way).
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    // Flushes the written bytes to the storage device.
    virtual bool sync() = 0;
    virtual bool close() = 0;
};

// One entry of a folder: a name (no path) and what it is. The size is the
// file's length in bytes; 0 for anything that is not a regular file.
struct FolderEntry {
    enum class Type { File, Folder, Other };
    std::string name;
    Type type = Type::Other;
    std::uint64_t size = 0;
    friend bool operator==(const FolderEntry&, const FolderEntry&) = default;
};

// An existing file opened to be written over in place.
class RewritableFile : public InputFile {
public:
    // Writes all bytes at offset or reports failure (a full disk may stop it
    // half-way).
    virtual bool writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) = 0;
    // Cuts or extends the file to size bytes.
    virtual bool truncate(std::uint64_t size) = 0;
    virtual bool sync() = 0;
    virtual bool close() = 0;
};

// How a file is saved. A new file is written beside the old one and renamed
// over it, so that a failure never leaves a half-written file. That is not
// possible, or would change what the user has, when the folder cannot be
// written, when the file has other names (hard links) or when a new file
// would belong to someone else; then the file itself is written.
// Something that exists under the name and is not a regular file (a device,
// a pipe, a socket, a folder) is never replaced or written: the save is
// refused before anything is written.
struct SavePlan {
    std::string path;              // where the bytes go: a symbolic link's final target
    bool inPlace = false;          // write the file itself instead of a renamed copy
    bool notARegularFile = false;  // path exists and is not a regular file: refuse
};

// The file operations of the document commands and imports, so that tests and
// fuzzers can run them on files held in memory and simulate failures.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Opens an existing regular file; nothing when that fails.
    virtual std::unique_ptr<InputFile> openForReading(const std::string& path) = 0;
    // Creates a new, empty file with a fresh name in the folder of target and
    // stores that name in temporaryPath; nothing when it cannot be created.
    virtual std::unique_ptr<OutputFile> createTemporaryBeside(const std::string& target,
                                                              std::string& temporaryPath) = 0;
    // Moves from over to in one step, replacing any file named to.
    virtual bool replace(const std::string& from, const std::string& to) = 0;
    virtual void remove(const std::string& path) = 0;
    // The entries of a folder, never "." or "..", in no particular order;
    // nothing when the folder cannot be read.
    virtual std::optional<std::vector<FolderEntry>> listEntries(const std::string& folder) = 0;
    // Decides where and how a save to path writes.
    virtual SavePlan planSave(const std::string& path) = 0;
    // Opens an existing regular file for reading and writing; nothing when
    // that fails.
    virtual std::unique_ptr<RewritableFile> openForRewriting(const std::string& path) = 0;
};

// The largest existing file that a save writes in place: its old content is
// held in memory to be written back when the new content does not fit.
constexpr std::size_t kMaxRewrittenFileBytes = 1 << 20;

enum class SaveStatus { Saved, Failed, NotARegularFile };

struct SaveResult {
    SaveStatus status = SaveStatus::Failed;
    std::string target;  // what the name leads to (a link's final target); set when NotARegularFile
};

// Saves bytes as path, following the file system's SavePlan. A copy is
// written to a temporary file beside the target, flushed and only then
// renamed over it; in place, the file is written, cut to length and flushed,
// and its old content is written back if that fails. Either way a failure
// returns false and leaves an earlier file as it was.
SaveResult saveFile(FileSystem& files, const std::string& path, std::span<const std::uint8_t> bytes);
// saveFile, true when it saved.
bool saveFileSafely(FileSystem& files, const std::string& path, std::span<const std::uint8_t> bytes);

// The one line that tells the user why a save to path failed.
std::string describeSaveFailure(const SaveResult& result, const std::string& path);

enum class ReadStatus { Ok, CannotRead, TooLarge };

struct ReadResult {
    ReadStatus status = ReadStatus::CannotRead;
    std::vector<std::uint8_t> bytes;
};

// Reads a whole file that may hold at most maxBytes; a longer file is not
// read at all (TooLarge).
ReadResult readWholeFile(FileSystem& files, const std::string& path, std::size_t maxBytes);

// Reads up to count bytes from the start of a file; a shorter file gives
// fewer. Nothing when the file cannot be opened or read.
std::optional<std::vector<std::uint8_t>> readFilePrefix(FileSystem& files, const std::string& path, std::size_t count);

}  // namespace pelorin
