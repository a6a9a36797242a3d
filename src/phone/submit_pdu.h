#pragma once

// SMS-SUBMIT as it arrives from the terminal in PDU mode, decoded field by
// field from the GSM 03.40 layout.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "phone/result.h"

namespace pelorin::phone {

// How the user data is coded, from the data coding scheme.
enum class Alphabet { Gsm7, Octets, Ucs2 };

struct InformationElement {
    std::uint8_t id = 0;
    std::vector<std::uint8_t> data;
};

struct Concatenation {
    unsigned reference = 0;  // 8- or 16-bit reference
    unsigned total = 0;
    unsigned sequence = 0;
};

struct SubmitMessage {
    std::uint8_t firstOctet = 0;
    std::uint8_t messageReference = 0;
    std::uint8_t typeOfAddress = 0;
    // The destination: "+" for an international number, then the digits
    // (semi-octets 10..14 appear as '*', '#', 'a', 'b', 'c').
    std::string number;
    std::uint8_t protocolIdentifier = 0;
    std::uint8_t dataCoding = 0;
    std::vector<std::uint8_t> validityPeriod;  // 0, 1 or 7 octets by the format
    std::uint8_t userDataLength = 0;           // as sent: octets, or septets for GSM 7-bit
    std::vector<std::uint8_t> userData;        // the user data octets exactly as sent, header included
    Alphabet alphabet = Alphabet::Octets;
    std::vector<InformationElement> header;
    // User data behind the header: octets, or one septet value per entry for
    // GSM 7-bit coding.
    std::vector<std::uint8_t> payload;
    std::optional<std::uint16_t> destinationPort;
    std::optional<std::uint16_t> originatorPort;
    std::optional<Concatenation> concatenation;
    // Octets sent after the user data its length declares, left out of
    // userData (a phone takes such a PDU as far as the length goes).
    std::size_t ignoredOctets = 0;

    unsigned validityFormat() const { return (firstOctet >> 3) & 0x03; }
    bool statusReportRequested() const { return (firstOctet & 0x20) != 0; }
    bool hasUserDataHeader() const { return (firstOctet & 0x40) != 0; }
};

// Decodes the TPDU (everything after the service-centre field). Fewer octets
// than the user data length declares, or a header that overruns its length,
// are refused; octets beyond the declared user data are ignored (counted in
// ignoredOctets).
Result<SubmitMessage> decodeSubmit(std::span<const std::uint8_t> tpdu);

// What the terminal typed after AT+CMGS=declaredLength: hex text with the
// service-centre field first. Checks the text, the length and the TPDU.
Result<SubmitMessage> decodeSubmitText(std::string_view hexText, unsigned declaredLength);

}  // namespace pelorin::phone
