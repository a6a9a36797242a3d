#pragma once

// The journal of a bulk send, so that a run started again after any end
// (even SIGKILL) sends nothing twice. One line an event, appended:
//   pelorin-journal 1 JOB        the first line; JOB names the job's content
//   sending NUMBER PART          written and flushed to disk before the part goes out
//   accepted NUMBER PART ID      the centre took it (ID: its message id)
//   failed NUMBER PART REASON    the centre refused it
// Fields are separated by tabs. Parts are keyed by recipient and part number
// (from 1), never by the centre's message id, which some centres repeat. A
// last line without its line feed (cut off by the end of the run) is not
// taken.

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelorin::smsc {

enum class PartRecord { None, Sending, Accepted, Failed };

struct JournalEntry {
    PartRecord record = PartRecord::None;
    std::string detail;  // the message id or the reason
};

// What a run does with a part, given what the journal holds for it.
enum class PartAction { Send, AlreadyAccepted, Unknown };
PartAction resumeAction(PartRecord record, bool resendUnknown);

using PartKey = std::pair<std::string, int>;  // recipient, part number from 1

// The journal's state read from its text; nothing and error set when the
// text is not a journal or is of another job.
std::optional<std::map<PartKey, JournalEntry>> readJournal(const std::string& text, const std::string& job,
                                                           std::string& error);

// A name for the job's content: the kind, every part's octets and flags and
// the list of recipients, as hex of a 64-bit FNV-1a hash.
std::string journalJobName(const std::string& kind, const std::vector<std::vector<std::uint8_t>>& partOctets,
                           const std::vector<std::string>& recipients);

class SendJournal {
public:
    SendJournal() = default;
    SendJournal(const SendJournal&) = delete;
    SendJournal& operator=(const SendJournal&) = delete;
    ~SendJournal();

    // Opens path (made when missing) and reads what it holds.
    bool open(const std::string& path, const std::string& job, std::string& error);
    const std::map<PartKey, JournalEntry>& entries() const { return entries_; }

    // Appends the sending lines and flushes them to disk (fdatasync) before
    // returning: once for the whole window.
    bool sending(const std::vector<PartKey>& parts, std::string& error);
    bool accepted(const PartKey& part, const std::string& messageId);
    bool failed(const PartKey& part, const std::string& reason);

private:
    bool append(const std::string& text);

    int fd_ = -1;
    std::map<PartKey, JournalEntry> entries_;
};

}  // namespace pelorin::smsc
