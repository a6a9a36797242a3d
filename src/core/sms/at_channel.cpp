#include "sms/at_channel.h"

#include <algorithm>

#include "sms/at_reply.h"

namespace pelorin {

AtChannel::AtChannel(SerialPort& port, Sleeper& sleeper, const DialogueOptions& options)
    : port_(port), sleeper_(sleeper), options_(options) {}

void AtChannel::writeText(std::string_view text) {
    port_.write(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::int64_t AtChannel::nowMs() { return options_.clock != nullptr ? options_.clock->nowMs() : steady_.nowMs(); }

bool AtChannel::exchange(std::string_view command, bool promptExpected) {
    writeText(command);
    clearReply();
    if (!options_.replyDriven) return wait(kCommandWaitMs) && readMore();
    const std::int64_t deadline = nowMs() + kCommandWaitMs;
    for (;;) {
        if (stopped() || !readMore()) return false;
        if (scanReply(reply(), promptExpected) != ReplyEnd::Open) return true;
        if (received_ == kReplyCapacity || nowMs() >= deadline) return true;
    }
}

AtChannel::Acknowledgement AtChannel::awaitAcknowledgement(const std::function<void()>& waiting) {
    clearReply();
    if (!options_.replyDriven) {
        for (int round = 0; round < kAcknowledgementRounds; ++round) {
            if (!wait(kAcknowledgementRoundMs)) return Acknowledgement::Stopped;
            waiting();
            const std::size_t before = received_;
            if (!readMore()) return Acknowledgement::ReadFailed;
            if (received_ > before && (replyContains("OK") || replyContains("ERROR"))) return Acknowledgement::Answered;
        }
        return Acknowledgement::TimedOut;
    }
    // The same rounds as above, each reported when it begins, but the reply
    // is taken the moment its final result is complete.
    const std::int64_t start = nowMs();
    int roundsBegun = 0;
    for (;;) {
        if (stopped()) return Acknowledgement::Stopped;
        const std::int64_t elapsed = nowMs() - start;
        if (elapsed >= std::int64_t{kAcknowledgementRoundMs} * kAcknowledgementRounds) {
            // A result without its line end still counts, as in the fixed rounds.
            if (replyContains("OK") || replyContains("ERROR")) return Acknowledgement::Answered;
            return Acknowledgement::TimedOut;
        }
        while (roundsBegun <= elapsed / kAcknowledgementRoundMs && roundsBegun < kAcknowledgementRounds) {
            ++roundsBegun;
            waiting();
        }
        if (!readMore()) return Acknowledgement::ReadFailed;
        if (scanReply(reply(), false) == ReplyEnd::Final) return Acknowledgement::Answered;
        if (received_ == kReplyCapacity) {
            // A full buffer without a final line: decide on what is there,
            // as the fixed rounds would.
            if (replyContains("OK") || replyContains("ERROR")) return Acknowledgement::Answered;
            return Acknowledgement::TimedOut;
        }
    }
}

bool AtChannel::wait(int ms) {
    if (options_.stop == nullptr) {
        sleeper_.sleepMs(ms);
        return true;
    }
    for (int left = ms; left > 0; left -= kStopPollMs) {
        if (stopped()) return false;
        sleeper_.sleepMs(std::min(left, kStopPollMs));
    }
    return !stopped();
}

void AtChannel::clearReply() {
    reply_.fill(0);
    received_ = 0;
}

// Reads behind what this sequence has received, into the room that is left;
// a port claiming more than it was asked for is held to the room.
bool AtChannel::readMore() {
    const std::size_t room = kReplyCapacity - received_;
    std::size_t got = 0;
    if (!port_.read(reply_.data() + received_, room, got)) return false;
    received_ += std::min(got, room);
    reply_[received_] = 0;
    return true;
}

}  // namespace pelorin
