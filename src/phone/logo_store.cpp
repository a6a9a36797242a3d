#include "phone/logo_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace pelorin::phone {

namespace {

std::string escapeValue(const std::string& value) {
    std::string escaped;
    for (char c : value) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            default:
                if (u < 0x20 || u == 0x7F) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\x%02X", u);
                    escaped += buffer;
                } else {
                    escaped.push_back(c);
                }
        }
    }
    return escaped;
}

bool writeAll(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The store folder itself, never a symbolic link, and (unless this is root)
// one of this user's own: another user could swap its files for links.
// -1 with why filled in when it is not.
int openFolder(const std::filesystem::path& folder, std::string& why) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        struct stat link {};
        if (::lstat(folder.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            why = folder.string() + ": the store folder is a symbolic link";
        } else {
            why = folder.string() + ": " + std::strerror(error);
        }
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || (::geteuid() != 0 && status.st_uid != ::geteuid())) {
        why = folder.string() + ": the store folder belongs to another user";
        ::close(fd);
        return -1;
    }
    return fd;
}

// Opens a file of the folder without following a link in its place; only a
// regular file (never a pipe, a device or a socket) is written. exclusive:
// only a new file (EEXIST when the name is taken); otherwise an existing file
// is appended to. errno on failure, or EINVAL for something not a file.
int openStoreFile(int folder, const char* name, bool exclusive, int& fd) {
    const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (exclusive ? O_EXCL : O_APPEND);
    fd = ::openat(folder, name, flags, 0644);
    if (fd < 0) {
        const int error = errno;
        // A pipe without a reader, a device, a folder: said plainly.
        struct stat there {};
        if (error != EEXIST && ::fstatat(folder, name, &there, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(there.st_mode))
            return S_ISLNK(there.st_mode) ? ELOOP : EINVAL;
        return error;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        fd = -1;
        return EINVAL;
    }
    return 0;
}

// Writes a whole new file or appends to one; 0 or the errno of the failure.
int writeStoreFile(int folder, const std::string& name, const std::string& bytes, bool exclusive) {
    int fd = -1;
    if (const int error = openStoreFile(folder, name.c_str(), exclusive, fd)) return error;
    const bool ok = writeAll(fd, bytes.data(), bytes.size());
    const int writeError = errno;
    if (::close(fd) != 0 && ok) return errno;
    return ok ? 0 : writeError;
}

std::string failureText(const std::filesystem::path& path, int error) {
    if (error == EINVAL) return path.string() + ": not a regular file";
    if (error == ELOOP) return path.string() + ": a symbolic link";
    return path.string() + ": " + std::strerror(error);
}

}  // namespace

std::string formatLogLine(const LogEntry& entry) {
    std::string line;
    const auto field = [&line](const char* key, const std::string& value) {
        if (!line.empty()) line.push_back('\t');
        line += key;
        line.push_back('=');
        line += escapeValue(value);
    };
    field("file", entry.file);
    field("kind", entry.kind);
    field("size", entry.size);
    field("number", entry.number);
    field("mcc", entry.mcc);
    field("mnc", entry.mnc);
    field("text", entry.text);
    field("report", entry.report ? "1" : "0");
    field("report-parts", entry.reportParts);
    field("parts", std::to_string(entry.parts));
    field("port", entry.port);
    field("error", entry.error);
    return line;
}

std::string textPicture(const OtaBitmap& bitmap) {
    std::string text;
    text.reserve(static_cast<std::size_t>(bitmap.width + 1) * bitmap.height);
    for (unsigned y = 0; y < bitmap.height; ++y) {
        for (unsigned x = 0; x < bitmap.width; ++x) text.push_back(bitmap.pixel(x, y) ? '#' : '.');
        text.push_back('\n');
    }
    return text;
}

LogEntry describe(const CompletedMessage& message, const ReceivedLogo* logo, const std::string& error) {
    LogEntry entry;
    entry.number = message.number;
    entry.report = message.anyReportRequested();
    for (bool requested : message.reportRequested) entry.reportParts.push_back(requested ? '1' : '0');
    entry.parts = message.parts();
    if (message.destinationPort) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(*message.destinationPort));
        entry.port = buffer;
    }
    if (logo != nullptr) {
        entry.kind = logoTypeName(logo->type);
        entry.size = std::to_string(logo->bitmap.width) + "x" + std::to_string(logo->bitmap.height);
        if (logo->networkCode) {
            entry.mcc = logo->networkCode->country;
            entry.mnc = logo->networkCode->network;
        }
        entry.text = logo->text;
    } else {
        const bool logoPort = message.destinationPort && (*message.destinationPort == kOperatorLogoPort ||
                                                          *message.destinationPort == kGroupGraphicPort ||
                                                          *message.destinationPort == kPictureMessagePort);
        entry.kind = logoPort ? "invalid" : "other";
        entry.error = error;
    }
    return entry;
}

Result<bool> checkStoreFolder(const std::filesystem::path& folder) {
    std::string why;
    const int fd = openFolder(folder, why);
    if (fd < 0) return Result<bool>::failure(why);
    ::close(fd);
    return true;
}

LogoStore::LogoStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

Result<std::string> LogoStore::storeLogo(const ReceivedLogo& logo, LogEntry entry) {
    std::string why;
    const int folder = openFolder(folder_, why);
    if (folder < 0) return Result<std::string>::failure(why);
    const std::string bits(logo.bitmap.bits.begin(), logo.bitmap.bits.end());
    const std::string picture = textPicture(logo.bitmap);
    // Both files are new: a number with either name already taken is skipped.
    std::string base;
    for (;; ++next_) {
        char name[32];
        std::snprintf(name, sizeof name, "logo-%04u", next_);
        base = name;
        int error = writeStoreFile(folder, base + ".plr", bits, true);
        if (error == EEXIST) continue;
        if (error == 0) {
            error = writeStoreFile(folder, base + ".txt", picture, true);
            if (error == EEXIST) {
                ::unlinkat(folder, (base + ".plr").c_str(), 0);
                continue;
            }
            if (error == 0) break;
            ::unlinkat(folder, (base + ".plr").c_str(), 0);
            ::close(folder);
            return Result<std::string>::failure(failureText(folder_ / (base + ".txt"), error));
        }
        ::close(folder);
        return Result<std::string>::failure(failureText(folder_ / (base + ".plr"), error));
    }
    ++next_;
    entry.file = base;
    auto logged = appendLog(folder, entry);
    ::close(folder);
    if (!logged) return logged;
    return base;
}

Result<std::string> LogoStore::storeRingtone(const std::string& rtttl, LogEntry entry) {
    std::string why;
    const int folder = openFolder(folder_, why);
    if (folder < 0) return Result<std::string>::failure(why);
    std::string base;
    for (;; ++nextRingtone_) {
        char name[32];
        std::snprintf(name, sizeof name, "ringtone-%04u", nextRingtone_);
        base = name;
        const int error = writeStoreFile(folder, base + ".rtttl", rtttl + "\n", true);
        if (error == EEXIST) continue;
        if (error == 0) break;
        ::close(folder);
        return Result<std::string>::failure(failureText(folder_ / (base + ".rtttl"), error));
    }
    ++nextRingtone_;
    entry.file = base;
    auto logged = appendLog(folder, entry);
    ::close(folder);
    if (!logged) return logged;
    return base;
}

Result<std::string> LogoStore::logOnly(const LogEntry& entry) {
    std::string why;
    const int folder = openFolder(folder_, why);
    if (folder < 0) return Result<std::string>::failure(why);
    auto logged = appendLog(folder, entry);
    ::close(folder);
    return logged;
}

Result<std::string> LogoStore::appendLog(int folder, const LogEntry& entry) {
    if (const int error = writeStoreFile(folder, "log.txt", formatLogLine(entry) + "\n", false))
        return Result<std::string>::failure(failureText(folder_ / "log.txt", error));
    return entry.file;
}

}  // namespace pelorin::phone
