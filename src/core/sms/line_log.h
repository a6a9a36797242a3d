#pragma once

// A log of the phone dialogue: every byte on the serial line, both ways,
// with the time of day to the millisecond and its direction, one entry a
// line; bytes outside printable ASCII (and "<") are written as <1A>, and any
// PIN given in AT+CPIN="..." is masked, in either direction.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/serial_port.h"

namespace pelorin {

// Replaces the digits after CPIN=" (in any case) with '*', also when the
// text comes in several pieces.
class PinMask {
public:
    std::string apply(std::string_view bytes);

private:
    std::size_t matched_ = 0;
    bool masking_ = false;
};

enum class LineDirection { Sent, Received };

// One entry: "HH:MM:SS.mmm > bytes" for sent bytes, "<" for received ones,
// and a line end. msOfDay is the time of day in milliseconds.
std::string formatLineLogEntry(std::int64_t msOfDay, LineDirection direction, std::string_view maskedBytes);

// Where the entries go: a file opened for this log alone.
class LineLog {
public:
    // Creates path anew (truncating an earlier log; never through a
    // symbolic link, never a file that is not a regular one), readable by
    // its owner only. nullptr, with why set, when it cannot.
    static std::unique_ptr<LineLog> create(const std::filesystem::path& path, std::string& why);
    ~LineLog();
    LineLog(const LineLog&) = delete;
    LineLog& operator=(const LineLog&) = delete;

    void record(LineDirection direction, std::span<const std::uint8_t> bytes);
    // A line of its own ("# ..."), such as the port opened.
    void note(std::string_view text);
    const std::filesystem::path& path() const { return path_; }

private:
    LineLog(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
    void put(const std::string& text);

    std::mutex mutex_;
    int fd_;
    std::filesystem::path path_;
    PinMask sentMask_;
    PinMask receivedMask_;
};

// Opens ports through inner and logs everything written to and read from
// them, and each open, to log.
class LoggingSerialPortOpener final : public SerialPortOpener {
public:
    LoggingSerialPortOpener(SerialPortOpener& inner, LineLog& log) : inner_(inner), log_(log) {}
    std::unique_ptr<SerialPort> open(const std::string& name) override;
    std::unique_ptr<SerialPort> openExplaining(const std::string& name, PortOpenFailure& failure) override;

private:
    SerialPortOpener& inner_;
    LineLog& log_;
};

// The folder that keeps the editor's logs of its sends:
// $XDG_STATE_HOME/pelorin/line-logs, or ~/.local/state/pelorin/line-logs.
// Empty when neither is known.
std::filesystem::path defaultLineLogFolder();

// A new log "send-YYYYMMDD-HHMMSS-mmm.log" in folder (made, for this user
// only, when missing), keeping it and the newest keep - 1 earlier ones and
// deleting the rest. nullptr, with why set, when it cannot be made.
std::unique_ptr<LineLog> createRotatingLineLog(const std::filesystem::path& folder, std::size_t keep, std::string& why);

inline constexpr std::size_t kKeptLineLogs = 10;

}  // namespace pelorin
