#pragma once

// Reads an SMS-SUBMIT PDU back field by field, for tests. Written from the
// GSM 03.40 layout on its own; it never calls the encoder it checks.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelorin::testing {

struct InformationElement {
    std::uint8_t id = 0;
    std::vector<std::uint8_t> data;
};

struct SubmitPdu {
    std::uint8_t serviceCentreLength = 0;
    std::uint8_t firstOctet = 0;
    std::uint8_t messageReference = 0;
    std::uint8_t addressDigitCount = 0;
    std::uint8_t typeOfAddress = 0;
    std::string addressDigits;  // semi-octets in order, "F" filler removed
    std::uint8_t protocolIdentifier = 0;
    std::uint8_t dataCoding = 0;
    std::uint8_t validityPeriod = 0;
    std::uint8_t userDataLength = 0;
    std::vector<std::uint8_t> userData;  // everything after the UDL octet
    std::vector<InformationElement> header;
    std::vector<std::uint8_t> payload;  // user data behind the header
    std::size_t octetsAfterServiceCentre = 0;

    bool statusReportRequested() const { return (firstOctet & 0x20) != 0; }
    std::optional<std::uint16_t> destinationPort() const;
    // Concatenation element: reference, total, sequence.
    std::optional<std::vector<std::uint8_t>> concatenation() const;
};

// Parses the hex text; on a malformed PDU returns nothing and says why.
std::optional<SubmitPdu> readSubmitPdu(const std::string& hex, std::string* why = nullptr);

std::vector<std::uint8_t> hexToBytes(const std::string& hex);

}  // namespace pelorin::testing
