#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/canvas.h"

namespace pelorin {

class CPelorinDoc;

// The kinds of send job; the numbers are those the send job dispatches on.
enum class SendJobKind : int {
    OperatorLogo = 1,
    GroupGraphic = 2,
    RestoreOperatorLogo = 3,
    PictureMessage = 4,
    LargeOperatorLogo = 5,
    Ringtone = 9,     // the job's RingtoneOctets to port 0x1581
    EmsPicture = 10,  // any canvas as EMS pictures in a text message
};

// What one send needs. Texts are UTF-8; the number and codes are used exactly
// as typed.
struct SendJob {
    std::string Number;
    std::string CountryCode;   // three digits, kinds 1 and 5
    std::string OperatorCode;  // two digits, kinds 1 and 5
    std::string Text;          // picture-message text, kind 4; the text beside an EMS picture, kind 6
    const CPelorinDoc* Document = nullptr;
    SendJobKind Kind = SendJobKind::OperatorLogo;
    LogoKind EmsCanvas = LogoKind::Operator;  // the canvas an EMS picture job sends
    bool DeliveryReport = false;
    std::vector<std::uint8_t> RingtoneOctets;  // the Smart Messaging ringtone, kind Ringtone
};

// The data coding every part is sent with: 8-bit data, message class 1.
inline constexpr std::uint8_t kPartDataCoding = 0xF5;

// One short message of a job, in sending order. The serial PDU and what an
// SMS centre is given are made from the same fields, so the two agree.
struct MessagePart {
    std::string pdu;      // upper-case hex text from the service-centre field on, no Ctrl-Z
    int length = 0;       // the octet count for AT+CMGS (everything but the service-centre octet)
    std::string caption;  // what the progress dialog shows while this part is sent

    // The user data, header included, as an SMS centre takes it: the TP-UD
    // of pdu octet for octet, but for the default alphabet (data coding 0),
    // where it is the header's octets and then one character an octet.
    std::vector<std::uint8_t> userData;
    std::uint8_t dataCoding = kPartDataCoding;
    bool statusReport = false;      // the part that asks for the delivery report
    std::string destinationDigits;  // the number without "+", "*" and "#" kept as typed
    bool international = false;     // the number had a leading "+"
};

struct DestinationAddress {
    std::string field;      // length octet, type of address, swapped digits
    int AddressOctets = 0;  // octets the digits take: ceil(digits / 2)
    std::string digits;     // the number without its "+"
    bool international = false;
};

// The most characters of picture-message text that one job carries.
inline constexpr std::size_t kMaxPictureText = 100;

// The pixel bytes of an OTA bitmap (no header): the packed form of the canvas.
std::vector<std::uint8_t> PackOtaBitmap(const Canvas& canvas);

// A leading "+" selects international numbering (0x91) and is dropped; "*"
// and "#" become their semi-octets A and B; every other character is copied
// into the digit positions as it is (IsDialableNumber keeps such numbers
// away from the phone).
DestinationAddress EncodeDestinationAddress(std::string_view number);

// The most digits ("*" and "#" count as digits) an address field carries.
inline constexpr std::size_t kMaxNumberDigits = 20;

// A number the address field carries as it stands: an optional "+", then 1
// to 20 of the digits 0-9, "*" and "#", and nothing else.
bool IsDialableNumber(std::string_view number);

// What a send dialog shows when the number is not one.
inline constexpr std::string_view kNumberCharactersMessage =
    "Please type the number in To as digits 0-9, * or #, with an optional + in front";
inline constexpr std::string_view kNumberLengthMessage = "The number in To has more than 20 digits";

struct NormalizedNumber {
    std::string number;        // ready for the address field; empty when refused
    std::string_view problem;  // empty, kNumberCharactersMessage or kNumberLengthMessage
    bool ok() const { return problem.empty(); }
};

// A number as people type it made ready to send: spaces around it are
// trimmed, and spaces, dashes, dots and parentheses between its digits are
// left out ("+49 (0170) 123-45" is "+49017012345"). An optional "+" comes
// first, the rest begins with a digit or "(" and ends with a digit or ")".
// Refused: nothing but separators or "+" (an empty number), any other
// character, more than 20 digits.
NormalizedNumber NormalizeNumber(std::string_view typed);

// Country digits A B C and operator digits D E become B A F C E D. Missing
// characters (a code shorter than its field) are taken as "F".
std::string EncodeNetworkCode(std::string_view countryCode, std::string_view operatorCode);

// The messages of a job, in sending order. Never fails; the job's document
// is read for its canvases; without one, blank canvases are sent.
std::vector<MessagePart> BuildSendParts(const SendJob& job);

// The picture text as sent: empty becomes one space, more than 100 characters
// are cut to 100.
std::u32string PictureTextToSend(std::string_view text);

}  // namespace pelorin
