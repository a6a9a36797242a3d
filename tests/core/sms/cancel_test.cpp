// Stopping a send on request.

#include <gtest/gtest.h>

#include "dialogue_fakes.h"
#include "sms/phone_dialogue.h"

namespace pelorin {
namespace {

using namespace dialogue_test;

// Records like RecordingReporter and cancels the token when a given status
// line is reported, as a signal arriving at that moment would.
class CancellingReporter final : public SendReporter {
public:
    CancellingReporter(SendReporter& inner, CancelToken& token, std::string at)
        : inner_(inner), token_(token), at_(std::move(at)) {}
    void status(std::string text) override {
        if (text == at_) token_.cancel();
        inner_.status(std::move(text));
    }
    void caption(std::string text) override { inner_.caption(std::move(text)); }
    void end(std::string outcome) override { inner_.end(std::move(outcome)); }

private:
    SendReporter& inner_;
    CancelToken& token_;
    std::string at_;
};

TEST_F(PhoneDialogueTest, ACancelledSendStopsAtItsNextWaitAndEscapesOnlyAtThePrompt) {
    const SendJob job = jobOfKind(SendJobKind::GroupGraphic);
    const auto part = BuildSendParts(job)[0];
    const std::string mode = "AT+CMGF=0\r\n";
    const std::string announce = "AT+CMGS=" + std::to_string(part.length) + "\r\n";
    const std::string pdu = part.pdu + "\x1A";
    struct Case {
        const char* cancelAt;
        std::vector<std::string> writes;
    };
    const Case cases[] = {
        {"Setting up connection", {}},                           // the first command is not written
        {"Setting up phone", {mode}},                            // between two commands
        {"Sending logo", {mode, announce, "\x1B"}},              // at the prompt: the PDU is abandoned
        {"Waiting for acknowledgement", {mode, announce, pdu}},  // the message is out: nothing more
    };
    for (const bool replyDriven : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.cancelAt) + (replyDriven ? ", reply-driven" : ", fixed waits"));
            resetLine();
            line.replies.clear();
            line.reply(kModeReply);
            line.reply(promptReply(part.length));  // and then no acknowledgement
            CancelToken token;
            CancellingReporter cancelling(reporter, token, c.cancelAt);
            const DialogueOptions cancellable{replyDriven, &clock, &token};
            RunSendJob(job, "COM3:", opener, clock, cancelling, cancellable);
            EXPECT_EQ(outcome(), "Send cancelled");
            EXPECT_EQ(line.writes, c.writes);
            EXPECT_EQ(events.back(), "close");
        }
    }
}

}  // namespace
}  // namespace pelorin
