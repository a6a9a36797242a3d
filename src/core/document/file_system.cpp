#include "document/file_system.h"

#include "document/user_messages.h"

namespace pelorin {

namespace {

bool saveThroughTemporaryFile(FileSystem& files, const std::string& path, std::span<const std::uint8_t> bytes) {
    std::string temporaryPath;
    auto out = files.createTemporaryBeside(path, temporaryPath);
    if (!out) return false;
    const bool written = out->write(bytes) && out->sync();
    const bool closed = out->close();
    out.reset();
    if (written && closed && files.replace(temporaryPath, path)) return true;
    files.remove(temporaryPath);
    return false;
}

// Writes over the file from its start before cutting it to length, so a
// shorter or equal new content reuses the blocks the file already has.
bool writeWhole(RewritableFile& file, std::span<const std::uint8_t> bytes) {
    return file.writeAt(0, bytes) && file.truncate(bytes.size()) && file.sync();
}

bool saveInPlace(FileSystem& files, const std::string& path, std::span<const std::uint8_t> bytes) {
    auto file = files.openForRewriting(path);
    if (!file) return false;
    // Without the old content there would be nothing to put back.
    const auto size = file->size();
    if (!size || *size > kMaxRewrittenFileBytes) return false;
    std::vector<std::uint8_t> old(static_cast<std::size_t>(*size));
    const auto got = file->readAt(0, old);
    if (!got || *got != old.size()) return false;

    if (writeWhole(*file, bytes)) return file->close();
    writeWhole(*file, old);
    file->close();
    return false;
}

}  // namespace

SaveResult saveFile(FileSystem& files, const std::string& path, std::span<const std::uint8_t> bytes) {
    const SavePlan plan = files.planSave(path);
    if (plan.path.empty()) return {};
    if (plan.notARegularFile) return {SaveStatus::NotARegularFile, plan.path};
    const bool saved =
        plan.inPlace ? saveInPlace(files, plan.path, bytes) : saveThroughTemporaryFile(files, plan.path, bytes);
    return {saved ? SaveStatus::Saved : SaveStatus::Failed, {}};
}

bool saveFileSafely(FileSystem& files, const std::string& path, std::span<const std::uint8_t> bytes) {
    return saveFile(files, path, bytes).status == SaveStatus::Saved;
}

std::string describeSaveFailure(const SaveResult& result, const std::string& path) {
    if (result.status != SaveStatus::NotARegularFile) return message::withPath(message::kFailedToOpenForWriting, path);
    if (result.target == path) return message::withPath(message::kNotARegularFile, path);
    return message::withPath(message::kNotARegularFile, path + " (" + result.target + ")");
}

ReadResult readWholeFile(FileSystem& files, const std::string& path, std::size_t maxBytes) {
    ReadResult result;
    auto in = files.openForReading(path);
    if (!in) return result;
    const auto size = in->size();
    if (!size) return result;
    if (*size > maxBytes) {
        result.status = ReadStatus::TooLarge;
        return result;
    }
    result.bytes.resize(static_cast<std::size_t>(*size));
    const auto got = in->readAt(0, result.bytes);
    if (!got || *got != result.bytes.size()) {
        result.bytes.clear();
        return result;
    }
    result.status = ReadStatus::Ok;
    return result;
}

std::optional<std::vector<std::uint8_t>> readFilePrefix(FileSystem& files, const std::string& path, std::size_t count) {
    auto in = files.openForReading(path);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes(count);
    const auto got = in->readAt(0, bytes);
    if (!got) return std::nullopt;
    bytes.resize(*got);
    return bytes;
}

}  // namespace pelorin
