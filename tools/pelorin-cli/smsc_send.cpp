#include "smsc_send.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>

#include "commands.h"
#include "interrupt.h"
#include "smsc/send_journal.h"
#include "smsc/smsc_send_path.h"

namespace pelorin::cli {

namespace {

using smsc::PartAction;
using smsc::PartKey;

enum class PartState { Waiting, Accepted, Failed, Unknown };

struct PartResult {
    PartState state = PartState::Waiting;
    std::string detail;  // message id or reason
};

// The run's bookkeeping: each part's state, the journal, the progress line.
class BulkListener final : public smsc::SmppListener {
public:
    BulkListener(const std::vector<std::string>& numbers, std::size_t partsEach, smsc::SendJournal* journal,
                 std::size_t toSend)
        : numbers_(numbers),
          partsEach_(partsEach),
          journal_(journal),
          results_(numbers.size() * partsEach),
          toSend_(toSend),
          progress_(::isatty(STDERR_FILENO) == 1) {}

    PartResult& result(std::size_t key) { return results_[key]; }
    PartKey keyOf(std::size_t key) const {
        return {numbers_[key / partsEach_], static_cast<int>(key % partsEach_) + 1};
    }

    bool beforeWindow(std::span<const std::size_t> keys) override {
        if (journal_ == nullptr) return true;
        std::vector<PartKey> parts;
        parts.reserve(keys.size());
        for (std::size_t key : keys) parts.push_back(keyOf(key));
        std::string error;
        if (journal_->sending(parts, error)) return true;
        std::cerr << "pelorin-cli send: " << error << "\n";
        return false;
    }
    void accepted(std::size_t key, const std::string& messageId) override {
        results_[key] = {PartState::Accepted, messageId};
        if (journal_ != nullptr) journal_->accepted(keyOf(key), messageId);
        receiptsFor_[messageId] = key / partsEach_;
        done();
    }
    void failed(std::size_t key, const std::string& reason) override {
        results_[key] = {PartState::Failed, reason};
        if (journal_ != nullptr) journal_->failed(keyOf(key), reason);
        done();
    }
    void unknown(std::size_t key) override {
        results_[key] = {PartState::Unknown, ""};
        done();
    }
    void receipt(const std::string& messageId, const std::string& state) override {
        const auto found = receiptsFor_.find(messageId);
        if (found != receiptsFor_.end()) receipts_[found->second] = state;
    }
    std::string receiptOf(std::size_t recipient) const {
        const auto found = receipts_.find(recipient);
        return found == receipts_.end() ? "" : found->second;
    }
    void endProgress() const {
        if (progress_ && handled_ > 0) std::cerr << "\n";
    }

private:
    void done() {
        ++handled_;
        if (!progress_) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - shown_ < std::chrono::milliseconds(200) && handled_ < toSend_) return;
        shown_ = now;
        const double seconds = std::chrono::duration<double>(now - started_).count();
        const double rate = seconds > 0 ? static_cast<double>(handled_) / seconds : 0;
        const double left = rate > 0 ? static_cast<double>(toSend_ - std::min(handled_, toSend_)) / rate : 0;
        std::fprintf(stderr, "\r%zu/%zu parts, %.0f a second, %.0f s left   ", handled_, toSend_, rate, left);
        std::fflush(stderr);
    }

    const std::vector<std::string>& numbers_;
    std::size_t partsEach_;
    smsc::SendJournal* journal_;
    std::vector<PartResult> results_;
    std::map<std::string, std::size_t> receiptsFor_;
    std::map<std::size_t, std::string> receipts_;
    std::size_t toSend_;
    std::size_t handled_ = 0;
    bool progress_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point shown_{};
};

std::string defaultJournal(const RecipientArguments& recipients) {
    if (recipients.journal) return *recipients.journal;
    if (recipients.toFile) return *recipients.toFile + ".journal";
    return "";
}

}  // namespace

int sendThroughSmsc(const RecipientArguments& recipients, const JobArguments& arguments) {
    std::string error;
    // kannel:// goes through Kannel's smsbox, anything else is an SMPP centre.
    const bool throughKannel = recipients.smsc->rfind("kannel://", 0) == 0;
    std::optional<smsc::SmscRoute> route;
    if (throughKannel) {
        route = smsc::parseSmscRoute(*recipients.smsc, error);
    } else if (auto address = smsc::parseSmscAddress(*recipients.smsc, error)) {
        route = smsc::SmscRoute{std::move(address), std::nullopt};
    }
    if (!route) {
        std::cerr << "pelorin-cli send: --smsc: " << error << "\n";
        return kExitBadArguments;
    }
    const auto password = smsc::readSmscPassword(recipients.passwordFile.value_or(""), error, !throughKannel);
    if (!password) {
        std::cerr << "pelorin-cli send: " << error << "\n";
        return kExitBadArguments;
    }
    const std::string source = route->smpp ? route->smpp->source : std::string();
    const std::string journalPath = defaultJournal(recipients);
    if (journalPath.empty() && recipients.numbers.size() > 1) {
        std::cerr << "pelorin-cli send: a send to several numbers through an SMS centre needs --journal FILE, so "
                     "that a run started again sends nothing twice\n";
        return kExitBadArguments;
    }

    const std::vector<MessagePart> parts = BuildSendParts(arguments.job);
    std::vector<std::vector<std::uint8_t>> partOctets;
    for (const MessagePart& part : parts) {
        // The parts are built to fit; one that does not is a fault here, and
        // nothing goes out.
        if (smsc::airOctets(part.userData, part.dataCoding) > smsc::kMaxShortMessage) {
            std::cerr << "pelorin-cli send: a part of " << smsc::airOctets(part.userData, part.dataCoding)
                      << " octets is longer than the 140 a short message holds; nothing was sent\n";
            return 1;
        }
        partOctets.push_back(part.userData);
        partOctets.back().push_back(part.statusReport ? 1 : 0);
    }

    smsc::SendJournal journal;
    const bool journaled = !journalPath.empty();
    if (journaled && !journal.open(journalPath,
                                   smsc::journalJobName("kind " + std::to_string(static_cast<int>(arguments.job.Kind)),
                                                        partOctets, recipients.numbers),
                                   error)) {
        std::cerr << "pelorin-cli send: journal " << error << "\n";
        return kExitBadArguments;
    }

    // What the journal says about each part decides whether it goes out.
    const std::size_t partsEach = parts.size();
    std::vector<smsc::SmppItem> items;
    std::vector<std::pair<PartAction, std::string>> before(recipients.numbers.size() * partsEach,
                                                           {PartAction::Send, ""});
    for (std::size_t r = 0; r < recipients.numbers.size(); ++r) {
        for (std::size_t p = 0; p < partsEach; ++p) {
            const std::size_t key = r * partsEach + p;
            if (journaled) {
                const auto found = journal.entries().find({recipients.numbers[r], static_cast<int>(p) + 1});
                if (found != journal.entries().end())
                    before[key] = {smsc::resumeAction(found->second.record, recipients.resendUnknown),
                                   found->second.detail};
            }
            if (before[key].first != PartAction::Send) continue;
            items.push_back({smsc::submitFor(parts[p].userData, parts[p].statusReport, parts[p].dataCoding,
                                             recipients.numbers[r], source),
                             key});
        }
    }

    BulkListener listener(recipients.numbers, partsEach, journaled ? &journal : nullptr, items.size());
    for (std::size_t key = 0; key < before.size(); ++key) {
        if (before[key].first == PartAction::AlreadyAccepted)
            listener.result(key) = {PartState::Accepted, before[key].second};
        if (before[key].first == PartAction::Unknown) listener.result(key) = {PartState::Unknown, ""};
    }

    smsc::SmppOptions options;
    options.window = recipients.window;
    options.rate = recipients.rate;
    options.waitReceiptsSeconds = recipients.waitReceipts;
    options.cancel = &interruptToken();
    // The same session as the editor's sends through a centre.
    std::string ended;
    if (!items.empty()) ended = smsc::runSmscSession(*route, *password, options, items, listener);
    listener.endProgress();
    if (!ended.empty()) std::cerr << "pelorin-cli send: " << ended << "\n";

    std::size_t sent = 0, failed = 0, unknown = 0;
    for (std::size_t r = 0; r < recipients.numbers.size(); ++r) {
        std::string ids, reason;
        bool anyFailed = false, anyUnknown = false, anyWaiting = false;
        for (std::size_t p = 0; p < partsEach; ++p) {
            const PartResult& part = listener.result(r * partsEach + p);
            if (part.state == PartState::Failed && !anyFailed) {
                anyFailed = true;
                reason = part.detail;
            }
            anyUnknown = anyUnknown || part.state == PartState::Unknown;
            anyWaiting = anyWaiting || part.state == PartState::Waiting;
            if (part.state == PartState::Accepted) ids += (ids.empty() ? "" : ",") + part.detail;
        }
        std::cout << recipients.numbers[r] << "\t";
        if (anyFailed) {
            ++failed;
            std::cout << "failed\t" << reason;
        } else if (anyUnknown) {
            ++unknown;
            std::cout << "unknown";
        } else if (anyWaiting) {
            ++failed;
            std::cout << "failed\tnot sent: " << (ended.empty() ? "the run ended" : ended);
        } else {
            ++sent;
            std::cout << "sent\t" << ids;
            if (const std::string state = listener.receiptOf(r); !state.empty()) std::cout << "\t" << state;
        }
        std::cout << "\n";
    }
    std::cout << sent << " sent, " << failed << " failed, " << unknown << " unknown" << std::endl;
    return failed == 0 && unknown == 0 ? 0 : 1;
}

}  // namespace pelorin::cli
