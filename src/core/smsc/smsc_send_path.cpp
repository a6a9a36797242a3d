#include "smsc/smsc_send_path.h"

#include <algorithm>

#include "platform/cancel_token.h"

namespace pelorin::smsc {

namespace {

constexpr const char* kConnectingStatus = "Connecting to the SMS centre";
constexpr const char* kSendingStatus = "Sending through the SMS centre";
constexpr std::string_view kKannelRefusedLogin = "Kannel: Authorization failed";

// Each part's answer, kept by recipient; the recipients in progress told to
// the reporter as their windows go out.
class PathListener final : public SmppListener {
public:
    PathListener(std::size_t recipients, std::size_t partsEach, SendReporter& reporter)
        : partsEach_(partsEach), recipients_(recipients), reporter_(reporter), outcomes_(recipients) {}

    bool beforeWindow(std::span<const std::size_t> keys) override {
        if (!keys.empty()) {
            const std::size_t last = *std::max_element(keys.begin(), keys.end()) / partsEach_;
            if (last + 1 > shown_) {
                shown_ = last + 1;
                if (recipients_ > 1) reporter_.recipient(shown_, recipients_);
            }
        }
        return true;
    }
    void accepted(std::size_t key, const std::string&) override { ++outcomes_[key / partsEach_].partsTaken; }
    void failed(std::size_t key, const std::string& reason) override {
        SendOutcome& outcome = outcomes_[key / partsEach_];
        if (!outcome.outcome.empty()) return;  // the first reason a number failed is kept
        outcome.outcome = std::string(kCentreRefusedOutcome);
        outcome.detail = reason;
    }
    void unknown(std::size_t key) override {
        SendOutcome& outcome = outcomes_[key / partsEach_];
        if (!outcome.outcome.empty()) return;
        outcome.outcome = std::string(kCentreSilentOutcome);
        outcome.detail = std::string(kNoCentreAnswerDetail);
    }

    std::vector<SendOutcome>& outcomes() { return outcomes_; }

private:
    std::size_t partsEach_;
    std::size_t recipients_;
    SendReporter& reporter_;
    std::vector<SendOutcome> outcomes_;
    std::size_t shown_ = 0;
};

}  // namespace

std::optional<SmscRoute> parseSmscRoute(std::string_view url, std::string& error) {
    SmscRoute route;
    if (url.starts_with("kannel://")) {
        route.kannel = parseKannelAddress(url, error);
        if (!route.kannel) return std::nullopt;
    } else if (url.starts_with("smpp://")) {
        route.smpp = parseSmscAddress(url, error);
        if (!route.smpp) return std::nullopt;
    } else {
        error = "the SMS centre address begins with smpp:// or kannel://";
        return std::nullopt;
    }
    return route;
}

std::optional<std::string> passwordProblem(const SmscRoute& route, const std::string& password) {
    if (route.smpp && password.size() > kMaxPassword)
        return "the SMS centre password has " + std::to_string(password.size()) +
               " characters; SMPP 3.4 allows at most 8 (a longer one is dropped by some centres without an answer)";
    return std::nullopt;
}

std::string runSmscSession(const SmscRoute& route, const std::string& password, const SmppOptions& options,
                           const std::vector<SmppItem>& items, SmppListener& listener) {
    if (route.kannel) {
        KannelOptions kannelOptions;
        kannelOptions.cancel = options.cancel;
        return runKannelSession(*route.kannel, password, kannelOptions, items, listener);
    }
    return runSmppSession(*route.smpp, password, options, items, listener);
}

std::vector<RecipientOutcome> SmscSendPath::send(const SendJob& job, const std::vector<std::string>& numbers,
                                                 SendReporter& reporter) {
    std::vector<RecipientOutcome> outcomes;
    const auto all = [&](std::string_view outcome, const std::string& detail) {
        for (const std::string& number : numbers) outcomes.push_back({number, {std::string(outcome), detail, 0}});
        return outcomes;
    };
    if (numbers.empty()) return outcomes;
    for (const std::string& number : numbers) {
        if (!IsDialableNumber(number)) return all("Number or network code contains invalid characters", {});
    }
    SendJob first = job;
    first.Number = numbers.front();
    const std::vector<MessagePart> parts = BuildSendParts(first);
    if (parts.empty()) return all("Communication error", {});
    for (const MessagePart& part : parts) {
        // The parts are built to fit; one that does not is a fault, and
        // nothing goes out.
        if (airOctets(part.userData, part.dataCoding) > kMaxShortMessage)
            return all("Communication error", "a part of " + std::to_string(airOctets(part.userData, part.dataCoding)) +
                                                  " octets is longer than the 140 a short message holds");
    }
    if (const auto problem = passwordProblem(route_, password_)) return all(kCentreUnreachableOutcome, *problem);

    const std::string source = route_.smpp ? route_.smpp->source : std::string();
    std::vector<SmppItem> items;
    for (std::size_t r = 0; r < numbers.size(); ++r) {
        for (std::size_t p = 0; p < parts.size(); ++p)
            items.push_back(
                {submitFor(parts[p].userData, parts[p].statusReport, parts[p].dataCoding, numbers[r], source),
                 r * parts.size() + p});
    }
    reporter.caption(parts.front().caption);
    reporter.status(kConnectingStatus);
    PathListener listener(numbers.size(), parts.size(), reporter);
    struct Sending final : SmppListener {
        Sending(SmppListener& to, SendReporter& shown) : to_(to), shown_(shown) {}
        bool beforeWindow(std::span<const std::size_t> keys) override {
            if (!said_) shown_.status(kSendingStatus);
            said_ = true;
            return to_.beforeWindow(keys);
        }
        void accepted(std::size_t key, const std::string& id) override { to_.accepted(key, id); }
        void failed(std::size_t key, const std::string& reason) override { to_.failed(key, reason); }
        void unknown(std::size_t key) override { to_.unknown(key); }
        SmppListener& to_;
        SendReporter& shown_;
        bool said_ = false;
    } sending(listener, reporter);
    const std::string ended = runSmscSession(route_, password_, options_, items, sending);
    loginRefused_ = IsRefusedLogin(ended);
    // smsbox answers a wrong user or password for each request with its own
    // text instead of ending a session.
    for (const SendOutcome& outcome : listener.outcomes())
        loginRefused_ = loginRefused_ || (route_.kannel && outcome.detail.starts_with(kKannelRefusedLogin));
    const bool cancelled = options_.cancel != nullptr && options_.cancel->cancelled();

    for (std::size_t r = 0; r < numbers.size(); ++r) {
        SendOutcome outcome = std::move(listener.outcomes()[r]);
        if (outcome.outcome.empty() && outcome.partsTaken == parts.size()) {
            outcome.outcome = std::string(SuccessOutcomeFor(job.Kind));
        } else if (outcome.outcome.empty() && cancelled) {
            outcome.outcome = std::string(kSendCancelledOutcome);
        } else if (outcome.outcome.empty()) {
            outcome.outcome = std::string(kCentreUnreachableOutcome);
            outcome.detail = ended.empty() ? "the SMS centre did not take every part" : ended;
        }
        if (!outcome.detail.empty()) reporter.failureDetail(outcome.detail);
        reporter.partsTaken(outcome.partsTaken);
        reporter.end(outcome.outcome);
        outcomes.push_back({numbers[r], std::move(outcome)});
    }
    return outcomes;
}

}  // namespace pelorin::smsc
