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
};

// The messages of an inbox file: one hex PDU a line (service-centre field
// first), optionally preceded by its status and a comma ("1,0791..."; without
// it a message is received and unread). Blank lines and lines beginning with
// '#' are skipped. A line that is not of that form fails the whole file,
// naming the line.
Result<std::vector<StoredMessage>> parseInboxText(std::string_view text);

class Inbox {
public:
    static constexpr unsigned kSimCapacity = 250;
    static constexpr unsigned kPhoneCapacity = 10;

    // Files a message in "SM" at the lowest free index; false when it is full.
    bool file(StoredMessage message);
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
