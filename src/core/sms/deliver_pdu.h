#pragma once

// Messages as a phone reports them from its memory (AT+CMGL, AT+CMGR in PDU
// mode): the service-centre field, then the TPDU. Every field is checked
// against the octets present; a PDU that is short, long or whose length
// fields disagree with its octets is refused with a reason, and nothing is
// ever read past its end.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

enum class UserDataCoding { Gsm7, Octets, Ucs2 };

struct PortAddress {
    std::uint16_t destination = 0;
    std::uint16_t originator = 0;
    bool sixteenBit = true;  // element 0x05; false for the 8-bit element 0x04
};

struct PartOf {
    unsigned reference = 0;  // 8- or 16-bit
    unsigned total = 0;
    unsigned sequence = 0;
    bool sixteenBit = false;  // the reference came in the 16-bit element (08), not the 8-bit one (00)
};

// An SMS-DELIVER, field by field.
struct DeliverMessage {
    std::string serviceCentre;  // "+" first when international; empty when the field is empty
    std::uint8_t firstOctet = 0;
    std::string sender;  // "+" first when international; alphanumeric senders as UTF-8
    std::uint8_t protocolIdentifier = 0;
    std::uint8_t dataCoding = 0;
    UserDataCoding coding = UserDataCoding::Gsm7;
    // "YYYY-MM-DD hh:mm:ss +hh:mm" from the service centre's time stamp.
    std::string timeStamp;
    std::optional<PortAddress> ports;
    std::optional<PartOf> part;
    // User data behind the header: octets, or one septet value per entry for
    // GSM 7-bit coding.
    std::vector<std::uint8_t> payload;
};

struct PduReading {
    enum class Status {
        Deliver,       // message holds the SMS-DELIVER
        StatusReport,  // a status report, not a message
        Other,         // a well-formed PDU of another type (a stored SMS-SUBMIT)
        Refused,       // reason says why
    };
    Status status = Status::Refused;
    DeliverMessage message;
    std::string reason;
};

// Reads a whole PDU: the service-centre field, then the TPDU.
PduReading readReportedPdu(std::span<const std::uint8_t> pdu);
// The same from the hex text a phone prints; odd lengths and other
// characters are refused.
PduReading readReportedPduHex(std::string_view hex);

// Text of the GSM 7-bit default alphabet (with its extension table), of
// UCS-2 (big-endian units, surrogate pairs joined), or of Latin-1 octets, as
// UTF-8. Anything undecodable becomes U+FFFD.
std::string gsm7Text(std::span<const std::uint8_t> septets);
std::string ucs2Text(std::span<const std::uint8_t> octets);
std::string latin1Text(std::span<const std::uint8_t> octets);

}  // namespace pelorin
