#pragma once

// The phone's side of the AT dialogue in PDU mode, without any device: bytes
// from the terminal go in, the phone's answers come out, some of them later
// than others. The program drives it from a pseudo-terminal; tests drive it
// directly.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "phone/command_set.h"
#include "phone/sim_quirks.h"
#include "phone/submit_pdu.h"

namespace pelorin::phone {

// A fault that applies to every message part or only to one (counted from 1
// over the phone's whole run).
struct PartSelector {
    bool enabled = false;
    unsigned part = 0;  // 0: every part

    bool matches(unsigned n) const { return enabled && (part == 0 || part == n); }
};

struct PhoneOptions {
    bool echo = true;             // command echo at start (ATE0 / ATE1 switch it)
    bool cmgfError = false;       // ERROR to every AT+CMGF command
    bool noPrompt = false;        // AT+CMGS=n gets no answer and no prompt; the phone stays in command mode
    PartSelector pduError;        // ERROR instead of +CMGS after the PDU
    PartSelector silentAfterPdu;  // nothing at all after the PDU
    bool okInPieces = false;      // the +CMGS answer's final "K\r\n" comes pieceDelay later
    std::chrono::milliseconds pieceDelay{3000};
    unsigned hangUpAfter = 0;                 // when part n arrives: no answer, hang up (0: never)
    unsigned unsolicitedLines = 0;            // unsolicited result codes sent before each PDU's answer
    std::string network;                      // the registered network, MCC and MNC digits ("26202"); empty: none
    std::string ownNumber = "+491701234567";  // AT+CNUM, and the sender of what --echo-to-inbox files
    bool echoToInbox = false;                 // file every accepted part in the inbox as received
    std::vector<StoredMessage> inbox;         // the inbox at switch-on
    SimQuirkOptions quirks;                   // how this phone differs from a well-behaved one
};

class Modem {
public:
    using Clock = std::chrono::steady_clock;
    // Hands an accepted part on; returns false when it could not be kept
    // (the phone then answers +CMS ERROR: 500).
    using Deliver = std::function<bool(const SubmitMessage&)>;

    static constexpr std::size_t kMaxCommandLine = 256;
    static constexpr std::size_t kMaxPduText = 1024;
    // What the answers of one command line may add up to: ten listings of a
    // full inbox. Past it the rest of the line is not run and the line ends
    // with an error, so that a line of chained listings cannot make the
    // phone hold more.
    static constexpr std::size_t kMaxLineAnswer = 1024 * 1024;

    Modem(PhoneOptions options, Deliver deliver);

    // The moment the phone is switched on (a SIM busy for a while counts from
    // it); without a call, the first byte received.
    void switchOn(Clock::time_point now) { quirks_.switchOn(now); }

    void receive(std::string_view bytes, Clock::time_point now);
    // Everything that is due by now, in the order it was produced.
    std::string takeOutput(Clock::time_point now);
    bool hasPendingOutput() const { return !scheduled_.empty(); }
    Clock::time_point nextDue() const;

    // Set once the part named by hangUpAfter has arrived; the phone takes no
    // more input after that.
    bool hangUpRequested() const { return hangUp_; }
    unsigned partsReceived() const { return parts_; }
    bool echo() const { return echo_; }
    bool inPduEntry() const { return mode_ == Mode::Pdu; }

    // A message that reaches the phone while it runs: filed in the inbox, or
    // handed straight to the terminal when AT+CNMI asks for that, and
    // announced as AT+CNMI asks once the phone is not in the middle of a
    // command line, a PDU or an answer. False when it had to be filed and the
    // inbox is full.
    bool receiveMessage(StoredMessage message, Clock::time_point now);

    // --transcript's copy of received bytes, any PIN masked.
    std::string transcriptText(std::string_view received) { return quirks_.masked(received); }

    // Human-readable lines about what happened, for the console.
    std::vector<std::string> takeNotes();
    // How many messages the inbox holds.
    std::size_t inboxSize() const { return commands_.inboxSize(); }

private:
    enum class Mode { Command, Pdu };

    void receiveByte(char c, Clock::time_point now);
    void commandByte(char c, Clock::time_point now);
    void pduByte(char c, Clock::time_point now);
    void runCommand(std::string line, Clock::time_point now);
    std::string runOne(const std::string& command);
    void echoToInbox(const SubmitMessage& message, const std::string& label, Clock::time_point now);
    bool arrive(StoredMessage message, const std::string& label, Clock::time_point now);
    void sendIndications(Clock::time_point now);
    void finishPdu(Clock::time_point now);
    void send(std::string text, Clock::time_point when);

    PhoneOptions options_;
    Deliver deliver_;
    Mode mode_ = Mode::Command;
    bool echo_;
    bool hangUp_ = false;
    bool lastWasCr_ = false;
    std::string line_;
    bool lineOverflow_ = false;
    std::string pdu_;
    bool pduOverflow_ = false;
    unsigned announcedLength_ = 0;
    unsigned parts_ = 0;
    unsigned reference_ = 1;
    std::vector<std::pair<Clock::time_point, std::string>> scheduled_;
    std::vector<std::string> indications_;  // unsolicited +CMTI and +CMT not sent yet
    std::vector<std::string> notes_;
    CommandSet commands_;
    SimQuirks quirks_;
    Clock::time_point commandTime_{};
};

}  // namespace pelorin::phone
