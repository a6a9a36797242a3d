#include "sms/at_channel.h"

#include <algorithm>

#include "sms/at_reply.h"

namespace pelorin {

AtChannel::AtChannel(SerialPort& port, Sleeper& sleeper, const DialogueOptions& options)
    : port_(port), sleeper_(sleeper), options_(options) {}

void AtChannel::write(std::span<const std::uint8_t> bytes) {
    if (!options_.slowWrites) {
        port_.write(bytes);
        return;
    }
    for (std::size_t start = 0; start < bytes.size(); start += kSlowWritePiece) {
        if (start > 0) sleeper_.sleepMs(kSlowWriteGapMs);
        port_.write(bytes.subspan(start, std::min(kSlowWritePiece, bytes.size() - start)));
    }
}

void AtChannel::writeText(std::string_view text) {
    write(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool AtChannel::pause(int ms) {
    sleeper_.sleepUnlessCancelled(ms, options_.cancel);
    return !cancelled();
}

std::int64_t AtChannel::nowMs() { return options_.clock != nullptr ? options_.clock->nowMs() : steady_.nowMs(); }

bool AtChannel::exchange(std::string_view command, bool promptExpected) {
    if (cancelled()) return false;
    writeText(command);
    if (!options_.replyDriven) {
        sleeper_.sleepUnlessCancelled(kCommandWaitMs, options_.cancel);
        clearReply();
        return !cancelled() && readMore();
    }
    clearReply();
    std::string_view echo = command;
    while (!echo.empty() && (echo.back() == '\r' || echo.back() == '\n')) echo.remove_suffix(1);
    const std::int64_t deadline = nowMs() + kCommandWaitMs;
    for (;;) {
        if (!readMore() || cancelled()) return false;
        if (scanReply(reply(), promptExpected, echo) != ReplyEnd::Open) return true;
        if ((received_ == kReplyCapacity && !makeRoom()) || nowMs() >= deadline) return true;
    }
}

AtChannel::Acknowledgement AtChannel::awaitAcknowledgement(const std::function<void()>& waiting) {
    clearReply();
    if (!options_.replyDriven) {
        for (int round = 0; round < kAcknowledgementRounds; ++round) {
            sleeper_.sleepUnlessCancelled(kAcknowledgementRoundMs, options_.cancel);
            if (cancelled()) return Acknowledgement::Cancelled;
            waiting();
            if (received_ == kReplyCapacity) makeRoom();
            const std::size_t before = received_;
            if (!readMore()) return Acknowledgement::ReadFailed;
            if (received_ > before && (replyContains("OK") || replyContains("ERROR"))) return Acknowledgement::Answered;
            if (cancelled()) return Acknowledgement::Cancelled;
        }
        return Acknowledgement::TimedOut;
    }
    // The same rounds as above, each reported when it begins, but the reply
    // is taken the moment its final result is complete.
    const std::int64_t start = nowMs();
    int roundsBegun = 0;
    for (;;) {
        if (cancelled()) return Acknowledgement::Cancelled;
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
        // An answer that is there counts, even when the job is being stopped.
        if (scanReply(reply(), false) == ReplyEnd::Final) return Acknowledgement::Answered;
        if (cancelled()) return Acknowledgement::Cancelled;
        if (received_ == kReplyCapacity && !makeRoom()) {
            // A full buffer without a final line: decide on what is there,
            // as the fixed rounds would.
            if (replyContains("OK") || replyContains("ERROR")) return Acknowledgement::Answered;
            return Acknowledgement::TimedOut;
        }
    }
}

// Drops the complete lines that cannot belong to the reply; false when
// nothing could be dropped (one line fills the whole buffer, or every line
// may be part of the reply).
bool AtChannel::makeRoom() {
    const std::size_t kept = dropUnrelatedLines(std::span<char>(reinterpret_cast<char*>(reply_.data()), received_));
    if (kept == received_) return false;
    std::fill(reply_.begin() + static_cast<std::ptrdiff_t>(kept), reply_.end(), std::uint8_t{0});
    received_ = kept;
    return true;
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
