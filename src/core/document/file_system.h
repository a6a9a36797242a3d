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
};

// Writes bytes to a temporary file beside path, flushes it and only then puts
// it in place of path. On any failure the temporary file is removed, an
// earlier file at path is left as it was, and false is returned.
bool saveFileAtomically(FileSystem& files, const std::string& path, std::span<const std::uint8_t> bytes);

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
std::optional<std::vector<std::uint8_t>> readFilePrefix(FileSystem& files, const std::string& path,
                                                        std::size_t count);

}  // namespace pelorin
