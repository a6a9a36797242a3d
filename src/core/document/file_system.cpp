#include "document/file_system.h"

namespace pelorin {

bool saveFileAtomically(FileSystem& files, const std::string& path, std::span<const std::uint8_t> bytes) {
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

std::optional<std::vector<std::uint8_t>> readFilePrefix(FileSystem& files, const std::string& path,
                                                        std::size_t count) {
    auto in = files.openForReading(path);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes(count);
    const auto got = in->readAt(0, bytes);
    if (!got) return std::nullopt;
    bytes.resize(*got);
    return bytes;
}

}  // namespace pelorin
