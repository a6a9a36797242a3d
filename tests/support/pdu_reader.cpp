#include "support/pdu_reader.h"

#include <cctype>

namespace pelorin::testing {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool fail(std::string* why, const char* text) {
    if (why) *why = text;
    return false;
}

}  // namespace

std::vector<std::uint8_t> hexToBytes(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = hexValue(hex[i]);
        const int low = hexValue(hex[i + 1]);
        bytes.push_back(static_cast<std::uint8_t>(((high < 0 ? 0 : high) << 4) | (low < 0 ? 0 : low)));
    }
    return bytes;
}

std::optional<std::uint16_t> SubmitPdu::destinationPort() const {
    for (const auto& element : header)
        if (element.id == 0x05 && element.data.size() == 4)
            return static_cast<std::uint16_t>(element.data[0] << 8 | element.data[1]);
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> SubmitPdu::concatenation() const {
    for (const auto& element : header)
        if (element.id == 0x00 && element.data.size() == 3) return element.data;
    return std::nullopt;
}

std::optional<SubmitPdu> readSubmitPdu(const std::string& hex, std::string* why) {
    if (hex.size() % 2 != 0) {
        fail(why, "odd number of hex characters");
        return std::nullopt;
    }
    for (char c : hex) {
        if (hexValue(c) < 0) {
            fail(why, "not an upper-case hex digit");
            return std::nullopt;
        }
    }
    const std::vector<std::uint8_t> bytes = hexToBytes(hex);
    std::size_t at = 0;
    auto take = [&](std::uint8_t& out) {
        if (at >= bytes.size()) return false;
        out = bytes[at++];
        return true;
    };

    SubmitPdu pdu;
    if (!take(pdu.serviceCentreLength)) return std::nullopt;
    at += pdu.serviceCentreLength;
    const std::size_t afterServiceCentre = at;
    if (!take(pdu.firstOctet) || (pdu.firstOctet & 0x03) != 0x01) {
        fail(why, "not an SMS-SUBMIT");
        return std::nullopt;
    }
    if (!take(pdu.messageReference) || !take(pdu.addressDigitCount) || !take(pdu.typeOfAddress)) {
        fail(why, "short address");
        return std::nullopt;
    }
    const std::size_t addressOctets = (pdu.addressDigitCount + 1u) / 2u;
    if (at + addressOctets > bytes.size()) {
        fail(why, "short address digits");
        return std::nullopt;
    }
    // Address semi-octets: low nibble first. Read them from the text so that
    // digit characters are seen as written.
    for (std::size_t i = 0; i < addressOctets; ++i) {
        const char high = hex[2 * (at + i)];
        const char low = hex[2 * (at + i) + 1];
        pdu.addressDigits.push_back(low);
        if (high != 'F' || pdu.addressDigits.size() < pdu.addressDigitCount) pdu.addressDigits.push_back(high);
    }
    at += addressOctets;
    if (!take(pdu.protocolIdentifier) || !take(pdu.dataCoding)) return std::nullopt;
    const int validityFormat = (pdu.firstOctet >> 3) & 0x03;
    if (validityFormat == 2 && !take(pdu.validityPeriod)) return std::nullopt;
    if (validityFormat == 1 || validityFormat == 3) at += 7;
    if (!take(pdu.userDataLength)) return std::nullopt;
    if (at > bytes.size()) return std::nullopt;
    pdu.userData.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end());
    pdu.octetsAfterServiceCentre = bytes.size() - afterServiceCentre;

    std::size_t payloadStart = 0;
    if ((pdu.firstOctet & 0x40) != 0) {
        if (pdu.userData.empty()) {
            fail(why, "header flag without header");
            return std::nullopt;
        }
        const std::size_t headerLength = pdu.userData[0];
        if (1 + headerLength > pdu.userData.size()) {
            fail(why, "header longer than user data");
            return std::nullopt;
        }
        std::size_t i = 1;
        while (i < 1 + headerLength) {
            if (i + 2 > 1 + headerLength) return std::nullopt;
            InformationElement element;
            element.id = pdu.userData[i];
            const std::size_t length = pdu.userData[i + 1];
            if (i + 2 + length > 1 + headerLength) return std::nullopt;
            element.data.assign(pdu.userData.begin() + static_cast<std::ptrdiff_t>(i + 2),
                                pdu.userData.begin() + static_cast<std::ptrdiff_t>(i + 2 + length));
            pdu.header.push_back(element);
            i += 2 + length;
        }
        payloadStart = 1 + headerLength;
    }
    pdu.payload.assign(pdu.userData.begin() + static_cast<std::ptrdiff_t>(payloadStart), pdu.userData.end());
    return pdu;
}

}  // namespace pelorin::testing
