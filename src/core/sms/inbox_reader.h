#pragma once

// Reading a phone's received messages in PDU mode: AT+CMGF=0, then for each
// of the memories "SM" and "ME" AT+CPMS to select it and AT+CMGL=4 to list
// all it holds; AT+CMGD=index deletes one. A listing may be long, so replies
// are collected until their final result (or until the phone has been
// silent for a while), within a bound on their size.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/at_channel.h"
#include "sms/received_messages.h"

namespace pelorin {

// The "+CMGL: index,stat,[alpha],length" lines of a reply and the PDU line
// after each, for the memory named. Lines of another form are passed over; an
// entry whose PDU line is missing or not hex is left out.
std::vector<StoredPdu> parseMessageListing(std::string_view reply, const std::string& memory);

// The detail of a reading that options.cancel stopped.
inline constexpr const char* kInboxReadingCancelled = "Reading the phone was stopped";

class PhoneInbox {
public:
    // The most reply bytes one command may bring (a full memory of 250 long
    // messages is about 90 KB).
    static constexpr std::size_t kMaxReply = 1024 * 1024;
    // How long the phone may stay silent before a reply is given up.
    static constexpr int kSilenceMs = 5000;

    PhoneInbox(std::unique_ptr<SerialPort> port, Sleeper& sleeper, const DialogueOptions& options);

    // Lists everything in "SM" and "ME" (or, when the phone accepts neither
    // name, in the memory it has selected). false with detail when the phone
    // could not be read.
    bool readAll(std::vector<StoredPdu>& messages, std::string& detail);
    // Deletes one message listed by readAll.
    bool remove(const StoredPdu& message, std::string& detail);

private:
    // Writes a command and collects its whole reply; false when the line
    // failed or the phone stayed silent.
    bool command(const std::string& text, std::string& detail);
    bool commandAccepted(const std::string& text, std::string& detail);
    bool select(const std::string& memory, std::string& detail);

    std::unique_ptr<SerialPort> port_;
    Sleeper& sleeper_;
    DialogueOptions options_;
    SteadyClock steady_;
    std::string reply_;
    std::string selected_;
};

// The logos a phone holds, for the editor: every logo of a size Pelorin
// edits, in the phone's order.
struct PhoneLogos {
    bool read = false;  // false: the phone could not be read, detail says why
    std::vector<ReceivedItem> logos;
    std::string detail;
};

PhoneLogos ReadPhoneLogos(const std::string& portName, SerialPortOpener& opener, Sleeper& sleeper,
                          const DialogueOptions& options);

}  // namespace pelorin
