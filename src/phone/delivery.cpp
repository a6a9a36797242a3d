#include "phone/delivery.h"

namespace pelorin::phone {

namespace {

std::uint8_t swappedBcd(int value) { return static_cast<std::uint8_t>((value % 10) << 4 | (value / 10) % 10); }

}  // namespace

std::vector<std::uint8_t> encodeAddressField(const std::string& number) {
    const bool international = !number.empty() && number[0] == '+';
    const std::string digits = international ? number.substr(1) : number;
    std::vector<std::uint8_t> field{static_cast<std::uint8_t>(digits.size()),
                                    static_cast<std::uint8_t>(international ? 0x91 : 0x81)};
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const unsigned low = static_cast<unsigned>(digits[i] - '0') & 0x0F;
        const unsigned high = i + 1 < digits.size() ? static_cast<unsigned>(digits[i + 1] - '0') & 0x0F : 0x0F;
        field.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    return field;
}

std::vector<std::uint8_t> deliverFromSubmit(const SubmitMessage& part, const std::string& sender, std::time_t time) {
    // The service-centre field counts the type octet but not its own length.
    std::vector<std::uint8_t> serviceCentre = encodeAddressField(kServiceCentre);
    serviceCentre[0] = static_cast<std::uint8_t>(serviceCentre.size() - 1);
    std::vector<std::uint8_t> pdu = serviceCentre;
    // SMS-DELIVER, no more messages waiting, the header flag as sent.
    pdu.push_back(static_cast<std::uint8_t>(0x04 | (part.firstOctet & 0x40)));
    const auto origin = encodeAddressField(sender);
    pdu.insert(pdu.end(), origin.begin(), origin.end());
    pdu.push_back(part.protocolIdentifier);
    pdu.push_back(part.dataCoding);
    std::tm utc{};
    gmtime_r(&time, &utc);
    for (int field : {utc.tm_year % 100, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, 0})
        pdu.push_back(swappedBcd(field));
    pdu.push_back(part.userDataLength);
    pdu.insert(pdu.end(), part.userData.begin(), part.userData.end());
    return pdu;
}

}  // namespace pelorin::phone
