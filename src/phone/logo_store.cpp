#include "phone/logo_store.h"

#include <fcntl.h>
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

// Writes a whole file; exclusive creation fails with EEXIST when the name is taken.
int writeFile(const std::filesystem::path& path, const void* data, std::size_t size, bool exclusive) {
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) return errno;
    const bool ok = writeAll(fd, data, size);
    const int writeError = errno;
    if (::close(fd) != 0 && ok) return errno;
    return ok ? 0 : writeError;
}

std::string failureText(const std::filesystem::path& path, int error) {
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

LogoStore::LogoStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

Result<std::string> LogoStore::storeLogo(const ReceivedLogo& logo, LogEntry entry) {
    std::string base;
    for (;; ++next_) {
        char name[32];
        std::snprintf(name, sizeof name, "logo-%04u", next_);
        base = name;
        const int error = writeFile(folder_ / (base + ".plr"), logo.bitmap.bits.data(), logo.bitmap.bits.size(), true);
        if (error == 0) break;
        if (error != EEXIST) return Result<std::string>::failure(failureText(folder_ / (base + ".plr"), error));
    }
    ++next_;
    const std::string picture = textPicture(logo.bitmap);
    if (const int error = writeFile(folder_ / (base + ".txt"), picture.data(), picture.size(), false)) {
        return Result<std::string>::failure(failureText(folder_ / (base + ".txt"), error));
    }
    entry.file = base;
    auto logged = appendLog(entry);
    if (!logged) return logged;
    return base;
}

Result<std::string> LogoStore::logOnly(const LogEntry& entry) { return appendLog(entry); }

Result<std::string> LogoStore::appendLog(const LogEntry& entry) {
    const std::filesystem::path path = folder_ / "log.txt";
    const std::string line = formatLogLine(entry) + "\n";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return Result<std::string>::failure(failureText(path, errno));
    const bool ok = writeAll(fd, line.data(), line.size());
    const int error = errno;
    if (::close(fd) != 0 || !ok) return Result<std::string>::failure(failureText(path, ok ? errno : error));
    return entry.file;
}

}  // namespace pelorin::phone
