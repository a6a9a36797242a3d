#pragma once

// Writes what the phone received into a folder:
//   logo-NNNN.plr  the packed bitmap octets exactly as received (126, 252 or 205 octets for the usual sizes)
//   logo-NNNN.txt  one line per row, '#' for a set pixel and '.' for a clear one
//   ringtone-NNNN.rtttl  a received ringtone as one line of RTTTL
//   log.txt        one line per completed message, tab-separated key=value fields (see formatLogLine)
// NNNN counts up from 0001 and skips numbers already taken in the folder.
// Every file is opened without following a symbolic link in its place, the
// logo files only as new files; the folder must not be a link and must
// belong to this user (unless this is root).

#include <filesystem>
#include <string>

#include "phone/logo_payload.h"
#include "phone/reassembly.h"
#include "phone/result.h"

namespace pelorin::phone {

// One line of log.txt. Every line has all keys, in this order:
//   file=logo-0001  kind=operator-logo  size=72x14  number=+123  mcc=262  mnc=02  text=...
//   report=0  report-parts=01  parts=2  port=1582  error=
// kind is operator-logo, group-graphic or picture-message for a stored logo,
// "invalid" for a message to a logo port that could not be read (error says
// why) and "other" for any other message; file, size, mcc, mnc and text are
// empty where they do not apply. report is 1 when any part asked for a status
// report, report-parts gives that flag per part in sequence order, port is the
// destination port in hex or empty. Values are UTF-8 with backslash escapes
// for backslash (\\), tab (\t), line feed (\n), carriage return (\r) and other
// control characters (\xHH).
struct LogEntry {
    std::string file;
    std::string kind;
    std::string size;
    std::string number;
    std::string mcc;
    std::string mnc;
    std::string text;
    bool report = false;
    std::string reportParts;
    std::size_t parts = 0;
    std::string port;
    std::string error;
};

// The line without its line feed.
std::string formatLogLine(const LogEntry& entry);

// The text picture: height lines of width characters, each line ended by '\n'.
std::string textPicture(const OtaBitmap& bitmap);

// The log entry for a completed message; logo is its interpretation when it
// has one, error the reason when it has none.
LogEntry describe(const CompletedMessage& message, const ReceivedLogo* logo, const std::string& error);

// Whether folder may hold a store: an existing folder, not a symbolic link,
// this user's own unless this is root. The failure says what is wrong.
Result<bool> checkStoreFolder(const std::filesystem::path& folder);

class LogoStore {
public:
    explicit LogoStore(std::filesystem::path folder);

    // Writes the two logo files and the log line; entry.file is filled in.
    // Everything is written and closed when this returns. Returns the base name.
    Result<std::string> storeLogo(const ReceivedLogo& logo, LogEntry entry);
    // Writes ringtone-NNNN.rtttl (a new file; numbers taken are skipped) and
    // the log line; entry.file is filled in. Returns the base name.
    Result<std::string> storeRingtone(const std::string& rtttl, LogEntry entry);
    // Appends a line for a message that is not a logo.
    Result<std::string> logOnly(const LogEntry& entry);

private:
    Result<std::string> appendLog(int folder, const LogEntry& entry);

    std::filesystem::path folder_;
    unsigned next_ = 1;
    unsigned nextRingtone_ = 1;
};

}  // namespace pelorin::phone
