#pragma once

// The far end of every accepted message: puts parts together, reads the
// logos and, when given a folder, stores them there before returning.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "phone/logo_store.h"
#include "phone/reassembly.h"
#include "phone/submit_pdu.h"

namespace pelorin::phone {

struct Reception {
    std::optional<LogEntry> entry;  // a completed (or refused) message; nothing while parts are missing
    std::string storeError;         // set when the folder could not be written
};

class Recipient {
public:
    explicit Recipient(std::optional<std::filesystem::path> storeFolder = std::nullopt);

    Reception receive(const SubmitMessage& part);
    // The latest log entries (at most kKeptEntries), also without a folder.
    static constexpr std::size_t kKeptEntries = 256;
    const std::vector<LogEntry>& entries() const { return entries_; }

private:
    Reassembler reassembler_;
    std::optional<LogoStore> store_;
    std::vector<LogEntry> entries_;
};

}  // namespace pelorin::phone
