#pragma once

// The phone's message memories and the 27.005 commands that read them in PDU
// mode: AT+CPMS, AT+CMGL, AT+CMGR and AT+CMGD.
//
// "SM" (the SIM) holds what the phone received; "ME" (the phone's own memory)
// holds nothing; "MT" is both together, so its indices are those of "SM".
// Messages are kept as the phone would report them: the service-centre field
// and then the TPDU, which the phone does not need to understand.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phone/result.h"

namespace pelorin::phone {

// 27.005 message status in PDU mode.
enum class MessageStatus : unsigned { ReceivedUnread = 0, ReceivedRead = 1, StoredUnsent = 2, StoredSent = 3 };

struct StoredMessage {
    MessageStatus status = MessageStatus::ReceivedUnread;
    std::vector<std::uint8_t> pdu;  // service-centre field, then the TPDU

    // Octets after the service-centre field: the <length> of +CMGL and +CMGR.
    std::size_t tpduLength() const;
    // The message class (0 to 3) its data coding names, when the PDU is an
    // SMS-DELIVER that names one.
    std::optional<unsigned> messageClass() const;
};

// The longest PDU a message can have: a service-centre field of 12 octets
// and an SMS-DELIVER of 164 (a 20-digit sender and 140 octets of user data).
inline constexpr std::size_t kMaxPduOctets = 176;

// One line of an inbox file: a hex PDU (service-centre field first) of at
// most kMaxPduOctets, optionally preceded by its status and a comma
// ("1,0791..."; without it a message is received and unread). A blank line or
// one beginning with '#' holds no message.
Result<std::optional<StoredMessage>> parseInboxLine(std::string_view line);

// The messages of an inbox file, one line each as above. A line that is not
// of that form fails the whole file, naming the line.
Result<std::vector<StoredMessage>> parseInboxText(std::string_view text);

// Inbox lines that arrive while the phone runs (on its standard input), in
// pieces as they come: each complete line is read as parseInboxLine does. A
// line longer than kMaxLine is refused whole, without being kept.
class InboxLineReader {
public:
    static constexpr std::size_t kMaxLine = 1024;

    struct Line {
        unsigned number = 0;  // counted from 1
        Result<std::optional<StoredMessage>> message;
    };
    std::vector<Line> add(std::string_view bytes);

private:
    std::string line_;
    bool overlong_ = false;
    unsigned lineNumber_ = 0;
};

class Inbox {
public:
    static constexpr unsigned kSimCapacity = 250;
    static constexpr unsigned kPhoneCapacity = 10;

    // Files a message in "SM" at the lowest free index and gives that index;
    // nothing when it is full.
    std::optional<unsigned> file(StoredMessage message);
    std::size_t size() const { return sim_.size(); }

    // The answer to one of the memory commands (upper case, blanks removed,
    // "AT" stripped), or nothing when the command is not one of them.
    // syntaxError is the final result the phone gives a malformed command.
    std::optional<std::string> answer(const std::string& command, const std::string& syntaxError);

    // Back to the memories selected at switch-on ("SM" for all three).
    void reset();

private:
    enum class Memory { Sim, Phone, Both };

    std::string storageAnswer(const std::string& value, const std::string& syntaxError);
    std::string list(const std::string& value, const std::string& syntaxError);
    std::string read(const std::string& value, const std::string& syntaxError);
    std::string remove(const std::string& value, const std::string& syntaxError);
    std::string counts(Memory memory) const;
    // The messages a read or delete reaches: those of the SIM unless the
    // first memory is the phone's own, which holds none.
    std::map<unsigned, StoredMessage>* readable();

    std::map<unsigned, StoredMessage> sim_;
    std::map<unsigned, StoredMessage> none_;
    Memory selected_[3] = {Memory::Sim, Memory::Sim, Memory::Sim};
};

}  // namespace pelorin::phone
