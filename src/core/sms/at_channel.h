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
#include <string>
#include <string_view>

#include "platform/cancel_token.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"

namespace pelorin {

class PinSource;

struct DialogueOptions {
    // Go on as soon as a reply is complete instead of after the fixed waits.
    bool replyDriven = false;
    // Measures the bounds of the reply-driven way; nullptr: the steady clock.
    MonotonicClock* clock = nullptr;
    // Stops the dialogue at its next wait once cancelled: before a command,
    // after each read (at most about 100 ms) or slice of a fixed wait.
    // nullptr: never.
    const CancelToken* cancel = nullptr;
    // Every write goes out in pieces of kSlowWritePiece bytes, kSlowWriteGapMs
    // apart, for phones that lose characters of a line that comes fast.
    bool slowWrites = false;
    // Asked for the SIM's PIN when the phone wants it; nullptr: there is none.
    PinSource* pin = nullptr;
    // The SMS centre number ("+" and digits) set in a phone that has none;
    // empty: none known.
    std::string smsCentre{};
    // What the user can do when the phone has no SMS centre number and none
    // is known.
    std::string noSmsCentreAdvice =
        "The phone has no SMS centre number: set one in Tools > Settings (your operator's, such as +491722270333)";
};

class AtChannel {
public:
    static constexpr int kCommandWaitMs = 1000;
    static constexpr int kAcknowledgementRoundMs = 2000;
    static constexpr int kAcknowledgementRounds = 15;
    // The most reply bytes kept from one read sequence. When it is full,
    // complete lines that cannot belong to the reply (unsolicited result
    // codes such as "RING" or "+CMTI: ...", the echo of a PDU) are dropped
    // to make room.
    static constexpr std::size_t kReplyCapacity = 1024;

    AtChannel(SerialPort& port, Sleeper& sleeper, const DialogueOptions& options);

    static constexpr std::size_t kSlowWritePiece = 18;
    static constexpr int kSlowWriteGapMs = 10;

    // Writes the bytes, in pieces when the options ask for slow writes.
    void write(std::span<const std::uint8_t> bytes);
    void writeText(std::string_view text);

    // Waits ms unless the dialogue is cancelled meanwhile; false when it is.
    bool pause(int ms);

    // Writes a command and collects its reply: with fixed waits one read after
    // a second; reply-driven, reads until a final result (or, when
    // promptExpected, the PDU prompt) has arrived or a second has passed.
    // false when a read failed or the dialogue was cancelled (nothing is
    // written once it has been).
    bool exchange(std::string_view command, bool promptExpected);

    enum class Acknowledgement { Answered, TimedOut, ReadFailed, Cancelled };
    // Collects the phone's answer to a PDU just written, for up to 30 s;
    // waiting() is called at the start of every 2 s round.
    Acknowledgement awaitAcknowledgement(const std::function<void()>& waiting);

    // Everything received in the current read sequence; a zero byte from the
    // phone does not end it.
    std::string_view reply() const { return {reinterpret_cast<const char*>(reply_.data()), received_}; }
    bool replyContains(std::string_view needle) const { return reply().find(needle) != std::string_view::npos; }

    bool cancelled() const { return isCancelled(options_.cancel); }

private:
    void clearReply();
    bool readMore();
    bool makeRoom();
    std::int64_t nowMs();

    SerialPort& port_;
    Sleeper& sleeper_;
    DialogueOptions options_;
    SteadyClock steady_;
    std::array<std::uint8_t, kReplyCapacity + 1> reply_{};
    std::size_t received_ = 0;
};

}  // namespace pelorin
