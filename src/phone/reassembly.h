#pragma once

// Puts concatenated messages back together. Parts belong together when they
// share the destination number, the reference and the total; a message is
// complete once every sequence number from 1 to the total has arrived. A part
// that arrives again replaces the earlier one.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "phone/submit_pdu.h"

namespace pelorin::phone {

struct CompletedMessage {
    std::string number;
    std::optional<std::uint16_t> destinationPort;          // of part 1
    Alphabet alphabet = Alphabet::Octets;                  // of part 1
    std::vector<std::uint8_t> payload;                     // the parts' payloads in sequence order
    std::vector<bool> reportRequested;                     // status-report request of each part, in sequence order
    std::vector<std::vector<InformationElement>> headers;  // each part's header elements, in sequence order
    unsigned reference = 0;

    std::size_t parts() const { return reportRequested.size(); }
    bool anyReportRequested() const;
};

struct ReassemblyResult {
    enum class Status { Complete, Waiting, Rejected };
    Status status = Status::Waiting;
    std::optional<CompletedMessage> message;  // when Complete
    std::string error;                        // when Rejected
};

class Reassembler {
public:
    // Pending groups kept at most; the oldest is dropped beyond that so that
    // parts that never complete cannot pile up.
    static constexpr std::size_t kMaxPendingGroups = 32;

    ReassemblyResult add(const SubmitMessage& message);
    std::size_t pendingGroups() const { return groups_.size(); }

private:
    using Key = std::tuple<std::string, unsigned, unsigned>;  // number, reference, total
    struct Group {
        std::map<unsigned, SubmitMessage> parts;  // by sequence number
        std::uint64_t started = 0;
    };
    std::map<Key, Group> groups_;
    std::uint64_t counter_ = 0;
};

}  // namespace pelorin::phone
