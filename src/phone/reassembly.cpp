#include "phone/reassembly.h"

#include <algorithm>

namespace pelorin::phone {

namespace {

CompletedMessage startFrom(const SubmitMessage& first, unsigned reference) {
    CompletedMessage completed;
    completed.number = first.number;
    completed.destinationPort = first.destinationPort;
    completed.alphabet = first.alphabet;
    completed.reference = reference;
    return completed;
}

void append(CompletedMessage& completed, const SubmitMessage& part) {
    completed.payload.insert(completed.payload.end(), part.payload.begin(), part.payload.end());
    completed.reportRequested.push_back(part.statusReportRequested());
    completed.headers.push_back(part.header);
}

}  // namespace

bool CompletedMessage::anyReportRequested() const {
    return std::find(reportRequested.begin(), reportRequested.end(), true) != reportRequested.end();
}

ReassemblyResult Reassembler::add(const SubmitMessage& message) {
    ReassemblyResult result;
    if (!message.concatenation || message.concatenation->total == 1) {
        if (message.concatenation && message.concatenation->sequence != 1) {
            result.status = ReassemblyResult::Status::Rejected;
            result.error = "sequence number " + std::to_string(message.concatenation->sequence) + " of 1";
            return result;
        }
        CompletedMessage completed = startFrom(message, message.concatenation ? message.concatenation->reference : 0);
        append(completed, message);
        result.status = ReassemblyResult::Status::Complete;
        result.message = std::move(completed);
        return result;
    }

    const Concatenation& concatenation = *message.concatenation;
    if (concatenation.total == 0 || concatenation.sequence == 0 || concatenation.sequence > concatenation.total) {
        result.status = ReassemblyResult::Status::Rejected;
        result.error =
            "sequence number " + std::to_string(concatenation.sequence) + " of " + std::to_string(concatenation.total);
        return result;
    }

    const Key key{message.number, concatenation.reference, concatenation.total};
    auto found = groups_.find(key);
    if (found == groups_.end()) {
        if (groups_.size() >= kMaxPendingGroups) {
            auto oldest = std::min_element(groups_.begin(), groups_.end(), [](const auto& a, const auto& b) {
                return a.second.started < b.second.started;
            });
            groups_.erase(oldest);
        }
        found = groups_.emplace(key, Group{{}, ++counter_}).first;
    }
    Group& group = found->second;
    group.parts.insert_or_assign(concatenation.sequence, message);

    if (group.parts.size() < concatenation.total) {
        result.status = ReassemblyResult::Status::Waiting;
        return result;
    }
    // Sequence numbers are 1..total and unique as map keys, so a full map holds each once.
    CompletedMessage completed = startFrom(group.parts.begin()->second, concatenation.reference);
    for (const auto& [sequence, part] : group.parts) append(completed, part);
    groups_.erase(found);
    result.status = ReassemblyResult::Status::Complete;
    result.message = std::move(completed);
    return result;
}

}  // namespace pelorin::phone
