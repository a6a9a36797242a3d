#include "sms/send_path.h"

#include "platform/cancel_token.h"

namespace pelorin {

namespace {

// Passes every report on, keeping what the outcome of the number is made of.
class OneNumberReporter final : public SendReporter {
public:
    explicit OneNumberReporter(SendReporter& shown) : shown_(shown) {}

    void status(std::string text) override { shown_.status(std::move(text)); }
    void caption(std::string text) override { shown_.caption(std::move(text)); }
    void failureDetail(std::string text) override {
        outcome.detail = text;
        shown_.failureDetail(std::move(text));
    }
    void partsTaken(std::size_t count) override {
        outcome.partsTaken = count;
        shown_.partsTaken(count);
    }
    void end(std::string text) override {
        outcome.outcome = text;
        shown_.end(std::move(text));
    }

    SendOutcome outcome;

private:
    SendReporter& shown_;
};

}  // namespace

std::vector<RecipientOutcome> SerialSendPath::send(const SendJob& job, const std::vector<std::string>& numbers,
                                                   SendReporter& reporter) {
    std::vector<RecipientOutcome> outcomes;
    SendJob one = job;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        one.Number = numbers[i];
        if (i > 0 && options_.cancel != nullptr && options_.cancel->cancelled()) {
            outcomes.push_back({numbers[i], {std::string(kSendCancelledOutcome), {}, 0}});
            continue;
        }
        reporter.recipient(i + 1, numbers.size());
        OneNumberReporter captured(reporter);
        RunSendJob(one, portName_, opener_, sleeper_, captured, options_);
        outcomes.push_back({numbers[i], std::move(captured.outcome)});
    }
    return outcomes;
}

std::string DescribeSeveralOutcomes(SendJobKind kind, const std::vector<RecipientOutcome>& outcomes) {
    // "Logo was successfully sent" names the kind the same way.
    std::string word(SuccessOutcomeFor(kind));
    word.resize(word.find(" was "));
    std::size_t sent = 0;
    std::string failures;
    for (const RecipientOutcome& recipient : outcomes) {
        if (recipient.outcome.sent()) {
            ++sent;
            continue;
        }
        const SendOutcome& outcome = recipient.outcome;
        failures += "\n" + recipient.number + ": " + outcome.outcome;
        if (!outcome.detail.empty()) failures += " (" + outcome.detail + ")";
    }
    return word + " was sent to " + std::to_string(sent) + " of " + std::to_string(outcomes.size()) + " numbers" +
           failures;
}

}  // namespace pelorin
