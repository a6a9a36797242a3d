#pragma once

// Commands to the phone and the collection of its replies, in one of two
// ways: with the fixed waits (a second after each command, rounds of two
// seconds for an acknowledgement) or reply-driven (reading until the reply is
// complete, within the same upper bounds).

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "platform/clock.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/stop_token.h"

namespace pelorin {

struct DialogueOptions {
    // Go on as soon as a reply is complete instead of after the fixed waits.
    bool replyDriven = false;
    // Measures the bounds of the reply-driven way; nullptr: the steady clock.
    MonotonicClock* clock = nullptr;
    // When given and asked to stop, every wait ends at once (the fixed waits
    // are slept in slices of kStopPollMs to notice it) and nothing more is
    // read; nullptr: the conversation runs to its end.
    const StopToken* stop = nullptr;
};

class AtChannel {
public:
    static constexpr int kCommandWaitMs = 1000;
    static constexpr int kAcknowledgementRoundMs = 2000;
    static constexpr int kAcknowledgementRounds = 15;
    // The most reply bytes kept from one read sequence.
    static constexpr std::size_t kReplyCapacity = 1024;
    // How soon a fixed wait notices a request to stop.
    static constexpr int kStopPollMs = 50;

    AtChannel(SerialPort& port, Sleeper& sleeper, const DialogueOptions& options);

    void write(std::span<const std::uint8_t> bytes) { port_.write(bytes); }
    void writeText(std::string_view text);

    // Writes a command and collects its reply: with fixed waits one read after
    // a second; reply-driven, reads until a final result (or, when
    // promptExpected, the PDU prompt) has arrived or a second has passed.
    // false when a read failed or the conversation was asked to stop
    // (stopped() tells which).
    bool exchange(std::string_view command, bool promptExpected);

    enum class Acknowledgement { Answered, TimedOut, ReadFailed, Stopped };
    // Collects the phone's answer to a PDU just written, for up to 30 s;
    // waiting() is called at the start of every 2 s round.
    Acknowledgement awaitAcknowledgement(const std::function<void()>& waiting);

    // Everything received in the current read sequence; a zero byte from the
    // phone does not end it.
    std::string_view reply() const { return {reinterpret_cast<const char*>(reply_.data()), received_}; }
    bool replyContains(std::string_view needle) const { return reply().find(needle) != std::string_view::npos; }

    // The options' stop token has been asked to stop.
    bool stopped() const { return options_.stop != nullptr && options_.stop->stopRequested(); }

private:
    void clearReply();
    bool readMore();
    // Sleeps ms; false, and sooner, when asked to stop.
    bool wait(int ms);
    std::int64_t nowMs();

    SerialPort& port_;
    Sleeper& sleeper_;
    DialogueOptions options_;
    SteadyClock steady_;
    std::array<std::uint8_t, kReplyCapacity + 1> reply_{};
    std::size_t received_ = 0;
};

}  // namespace pelorin
