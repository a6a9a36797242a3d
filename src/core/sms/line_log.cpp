#include "sms/line_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <system_error>
#include <vector>

namespace pelorin {

namespace {

constexpr std::string_view kMaskPattern = "CPIN=\"";

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string twoDigits(int value) {
    return std::string{static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

// The local time: the time of day in milliseconds and the date.
struct LocalNow {
    std::int64_t msOfDay = 0;
    std::tm date{};
    int ms = 0;
};

LocalNow localNow() {
    const auto now = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    LocalNow result;
    ::localtime_r(&seconds, &result.date);
    result.ms = static_cast<int>(ms % 1000);
    result.msOfDay =
        ((result.date.tm_hour * 60 + result.date.tm_min) * 60 + result.date.tm_sec) * std::int64_t{1000} + result.ms;
    return result;
}

class LoggingSerialPort final : public SerialPort {
public:
    LoggingSerialPort(std::unique_ptr<SerialPort> inner, LineLog& log) : inner_(std::move(inner)), log_(log) {}
    void write(std::span<const std::uint8_t> bytes) override {
        log_.record(LineDirection::Sent, bytes);
        inner_->write(bytes);
    }
    bool read(std::uint8_t* buffer, std::size_t max, std::size_t& received) override {
        const bool ok = inner_->read(buffer, max, received);
        if (ok && received > 0) log_.record(LineDirection::Received, {buffer, std::min(received, max)});
        if (!ok) log_.note("read failed");
        return ok;
    }
    void close() override {
        if (closed_) return;
        closed_ = true;
        inner_->close();
        log_.note("port closed");
    }

private:
    std::unique_ptr<SerialPort> inner_;
    LineLog& log_;
    bool closed_ = false;
};

}  // namespace

std::string PinMask::apply(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out) {
        if (masking_) {
            if (c >= '0' && c <= '9') {
                c = '*';
                continue;
            }
            masking_ = false;
        }
        if (upper(c) == kMaskPattern[matched_]) {
            if (++matched_ == kMaskPattern.size()) {
                masking_ = true;
                matched_ = 0;
            }
        } else {
            matched_ = upper(c) == kMaskPattern[0] ? 1 : 0;
        }
    }
    return out;
}

std::string formatLineLogEntry(std::int64_t msOfDay, LineDirection direction, std::string_view maskedBytes) {
    static const char digits[] = "0123456789ABCDEF";
    const auto seconds = static_cast<int>(msOfDay / 1000);
    std::string line = twoDigits(seconds / 3600) + ":" + twoDigits(seconds / 60 % 60) + ":" + twoDigits(seconds % 60) +
                       "." + std::to_string(1000 + msOfDay % 1000).substr(1) +
                       (direction == LineDirection::Sent ? " > " : " < ");
    for (char c : maskedBytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '<') {
            line.push_back(c);
        } else {
            line += '<';
            line += digits[byte >> 4];
            line += digits[byte & 0x0F];
            line += '>';
        }
    }
    line.push_back('\n');
    return line;
}

std::unique_ptr<LineLog> LineLog::create(const std::filesystem::path& path, std::string& why) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
        why = path.string() + ": " + std::strerror(errno);
        return nullptr;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || ::ftruncate(fd, 0) != 0) {
        why = path.string() + ": not a regular file that can be written";
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<LineLog>(new LineLog(fd, path));
}

LineLog::~LineLog() { ::close(fd_); }

void LineLog::put(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // a full disk loses the log, not the send
        done += static_cast<std::size_t>(n);
    }
}

void LineLog::record(LineDirection direction, std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::lock_guard lock(mutex_);
    PinMask& mask = direction == LineDirection::Sent ? sentMask_ : receivedMask_;
    put(formatLineLogEntry(localNow().msOfDay, direction, mask.apply(text)));
}

void LineLog::note(std::string_view text) {
    std::lock_guard lock(mutex_);
    std::string line = formatLineLogEntry(localNow().msOfDay, LineDirection::Sent, "");
    line.erase(13);  // the time and its space
    line += "# ";
    for (char c : text) line.push_back(static_cast<unsigned char>(c) < 0x20 ? '?' : c);
    line.push_back('\n');
    put(line);
}

std::unique_ptr<SerialPort> LoggingSerialPortOpener::open(const std::string& name) {
    PortOpenFailure failure;
    return openExplaining(name, failure);
}

std::unique_ptr<SerialPort> LoggingSerialPortOpener::openExplaining(const std::string& name, PortOpenFailure& failure) {
    auto port = inner_.openExplaining(name, failure);
    if (!port) {
        log_.note("cannot open " + name + ": " + describePortOpenFailure(failure));
        return nullptr;
    }
    log_.note("port " + name + " opened");
    return std::make_unique<LoggingSerialPort>(std::move(port), log_);
}

std::filesystem::path defaultLineLogFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return std::filesystem::path(state) / "pelorin" / "line-logs";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return std::filesystem::path(home) / ".local" / "state" / "pelorin" / "line-logs";
    return {};
}

std::unique_ptr<LineLog> createRotatingLineLog(const std::filesystem::path& folder, std::size_t keep,
                                               std::string& why) {
    std::error_code error;
    if (folder.empty()) {
        why = "no folder for the log (neither XDG_STATE_HOME nor HOME is set)";
        return nullptr;
    }
    if (!std::filesystem::is_directory(folder, error)) {
        std::filesystem::create_directories(folder, error);
        if (error) {
            why = folder.string() + ": " + error.message();
            return nullptr;
        }
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    }
    const LocalNow now = localNow();
    const std::tm& d = now.date;
    const std::string name = "send-" + std::to_string(d.tm_year + 1900) + twoDigits(d.tm_mon + 1) +
                             twoDigits(d.tm_mday) + "-" + twoDigits(d.tm_hour) + twoDigits(d.tm_min) +
                             twoDigits(d.tm_sec) + "-" + std::to_string(1000 + now.ms).substr(1);
    std::unique_ptr<LineLog> log;
    for (int n = 0; n < 100 && !log; ++n) {
        const std::filesystem::path path = folder / (name + (n == 0 ? "" : "-" + std::to_string(n)) + ".log");
        if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) continue;
        log = LineLog::create(path, why);
        if (!log) return nullptr;
    }
    if (!log) {
        why = folder.string() + ": no free name for a log";
        return nullptr;
    }
    // Names sort by time; the oldest beyond keep go.
    std::vector<std::filesystem::path> logs;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string file = entry.path().filename().string();
        if (file.starts_with("send-") && file.ends_with(".log") && entry.is_regular_file(error))
            logs.push_back(entry.path());
    }
    std::sort(logs.begin(), logs.end());
    for (std::size_t i = 0; i + keep < logs.size(); ++i)
        if (logs[i] != log->path()) std::filesystem::remove(logs[i], error);
    return log;
}

}  // namespace pelorin
