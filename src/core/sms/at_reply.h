#pragma once

// Reading what a phone answers to one AT command. These functions look only
// at the bytes they are given; anything may arrive on a serial line.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pelorin {

// How far the reply to one command has come.
enum class ReplyEnd {
    Open,    // nothing that ends it yet
    Final,   // a whole line with a final result: "OK", "ERROR", "+CMS ERROR: ...", "+CME ERROR: ..."
    Prompt,  // the "> " that asks for the PDU (only when a prompt was asked for)
};

// Looks through everything received for one command. A line counts once its
// CR or LF has arrived, so a final result still on its way is not taken for
// one. The prompt is as hasPduPrompt finds it; echo is the command as sent,
// without its line end.
ReplyEnd scanReply(std::string_view received, bool promptExpected, std::string_view echo = {});

// Whether the text holds the ">" that asks for a PDU: followed by a space, by
// a line end or by nothing (yet), and standing at the start of the text or of
// a line, or right after the echo of the command on the same line. A ">"
// inside other text is not one. Zero bytes from the phone are passed over.
bool hasPduPrompt(std::string_view received, std::string_view echo = {});

// Whether a complete line (without its line end) can be part of the reply
// to one of the dialogue's commands: the echo of a command ("AT..."), a
// final result, an error, or the "+CMGS:", "+COPS:", "+CPIN:" and "+CSCA:"
// answers. Anything
// else (unsolicited result codes such as "RING" or "+CMTI: ...", the echo of
// a PDU, empty lines) cannot.
bool canBelongToReply(std::string_view line);

// Removes from received every complete line that cannot belong to the reply,
// together with its line end, moving the rest forward in order; what follows
// the last line end (a prompt, a line still on its way) stays. Returns the
// length kept.
std::size_t dropUnrelatedLines(std::span<char> received);

// A "+CMS ERROR: ..." or "+CME ERROR: ..." line of a reply.
struct PhoneErrorReply {
    enum class Family { Cms, Cme };
    Family family = Family::Cms;
    std::optional<int> code;  // the number, when the phone sent a number (up to 5 digits)
    std::string text;         // what followed the colon, trimmed (at most 80 characters)
};

// The first whole line of that form in the reply, if any.
std::optional<PhoneErrorReply> findPhoneError(std::string_view received);

// What "+COPS: mode,format,"operator"" says. network is the operator field
// without its quotes (at most 32 characters); format is -1 when the phone
// sent no operator at all (it is not registered).
struct OperatorReply {
    int format = -1;
    std::string network;
};

// The first whole "+COPS:" line of a reply, if any.
std::optional<OperatorReply> findOperatorReply(std::string_view received);

}  // namespace pelorin
