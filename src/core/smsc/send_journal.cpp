#include "smsc/send_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace pelorin::smsc {

namespace {

constexpr std::string_view kMagic = "pelorin-journal 1 ";

std::vector<std::string> splitTabs(std::string_view line, std::size_t most) {
    std::vector<std::string> fields;
    while (fields.size() + 1 < most) {
        const auto tab = line.find('\t');
        if (tab == std::string_view::npos) break;
        fields.emplace_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    fields.emplace_back(line);
    return fields;
}

// Tabs and line ends in a reason or id would break the line apart.
std::string flat(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}

}  // namespace

PartAction resumeAction(PartRecord record, bool resendUnknown) {
    switch (record) {
        case PartRecord::Accepted:
            return PartAction::AlreadyAccepted;
        case PartRecord::Sending:
            return resendUnknown ? PartAction::Send : PartAction::Unknown;
        case PartRecord::None:
        case PartRecord::Failed:
            break;
    }
    return PartAction::Send;
}

std::optional<std::map<PartKey, JournalEntry>> readJournal(const std::string& text, const std::string& job,
                                                           std::string& error) {
    std::map<PartKey, JournalEntry> entries;
    if (text.empty()) return entries;
    std::size_t at = 0;
    bool first = true;
    while (at < text.size()) {
        const auto end = text.find('\n', at);
        if (end == std::string::npos) break;  // cut off by the end of a run
        const std::string_view line(text.data() + at, end - at);
        at = end + 1;
        if (first) {
            first = false;
            if (line.substr(0, kMagic.size()) != kMagic) {
                error = "is not a send journal";
                return std::nullopt;
            }
            if (line.substr(kMagic.size()) != job) {
                error = "is the journal of another job (another kind, picture, text or list of numbers)";
                return std::nullopt;
            }
            continue;
        }
        const auto fields = splitTabs(line, 4);
        if (fields.size() < 3) continue;
        int part = 0;
        for (char c : fields[2]) {
            if (c < '0' || c > '9' || part > 1000) {
                part = 0;
                break;
            }
            part = part * 10 + (c - '0');
        }
        if (part <= 0) continue;
        JournalEntry& entry = entries[{fields[1], part}];
        const std::string detail = fields.size() > 3 ? fields[3] : "";
        if (fields[0] == "sending") {
            // A part sent again (after a failure, a throttle or with
            // --resend-unknown) is unknown again until its answer.
            if (entry.record != PartRecord::Accepted) entry = {PartRecord::Sending, ""};
        } else if (fields[0] == "accepted") {
            entry = {PartRecord::Accepted, detail};
        } else if (fields[0] == "failed") {
            if (entry.record != PartRecord::Accepted) entry = {PartRecord::Failed, detail};
        }
    }
    if (first) {
        error = "is not a send journal";
        return std::nullopt;
    }
    return entries;
}

std::string journalJobName(const std::string& kind, const std::vector<std::vector<std::uint8_t>>& partOctets,
                           const std::vector<std::string>& recipients) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    auto mix = [&hash](const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ull;
        const std::uint8_t separator = 0xFF;
        hash = (hash ^ separator) * 0x100000001b3ull;
    };
    mix(kind.data(), kind.size());
    for (const auto& octets : partOctets) mix(octets.data(), octets.size());
    for (const auto& number : recipients) mix(number.data(), number.size());
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

SendJournal::~SendJournal() {
    if (fd_ >= 0) ::close(fd_);
}

bool SendJournal::open(const std::string& path, const std::string& job, std::string& error) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = path + " is not a regular file";
        return false;
    }
    std::string text;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::pread(fd_, chunk, sizeof chunk, static_cast<off_t>(text.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = path + ": " + std::strerror(errno);
            return false;
        }
        if (n == 0) break;
        text.append(chunk, static_cast<std::size_t>(n));
    }
    auto read = readJournal(text, job, error);
    if (!read) {
        error = path + " " + error;
        return false;
    }
    entries_ = std::move(*read);
    std::string start;
    if (!text.empty() && text.back() != '\n') start = "\n";  // end the line a killed run left unfinished
    if (text.empty()) start = std::string(kMagic) + job + "\n";
    if (!start.empty() && (!append(start) || ::fdatasync(fd_) != 0)) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool SendJournal::append(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool SendJournal::sending(const std::vector<PartKey>& parts, std::string& error) {
    std::string text;
    for (const auto& [number, part] : parts) {
        text += "sending\t" + number + "\t" + std::to_string(part) + "\n";
        JournalEntry& entry = entries_[{number, part}];
        entry = {PartRecord::Sending, ""};
    }
    if (!append(text) || ::fdatasync(fd_) != 0) {
        error = std::string("cannot write the journal: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool SendJournal::accepted(const PartKey& part, const std::string& messageId) {
    entries_[part] = {PartRecord::Accepted, messageId};
    return append("accepted\t" + part.first + "\t" + std::to_string(part.second) + "\t" + flat(messageId) + "\n");
}

bool SendJournal::failed(const PartKey& part, const std::string& reason) {
    entries_[part] = {PartRecord::Failed, reason};
    return append("failed\t" + part.first + "\t" + std::to_string(part.second) + "\t" + flat(reason) + "\n");
}

}  // namespace pelorin::smsc
