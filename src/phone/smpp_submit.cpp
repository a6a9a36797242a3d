// What the simulated SMS centre makes of a submit: its fields read, the
// TPDU a phone would have sent for it, and the command statuses its fault
// switches name.
#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "phone/smpp_centre.h"
#include "phone/smpp_fields.h"

namespace pelorin::phone {

namespace {

struct StatusName {
    const char* name;
    std::uint32_t status;
};
constexpr StatusName kStatuses[] = {
    {"ESME_RINVMSGLEN", 0x01},  {"ESME_RSYSERR", 0x08},     {"ESME_RINVSRCADR", 0x0A}, {"ESME_RINVDSTADR", 0x0B},
    {"ESME_RBINDFAIL", 0x0D},   {"ESME_RINVPASWD", 0x0E},   {"ESME_RINVSYSID", 0x0F},  {"ESME_RMSGQFUL", 0x14},
    {"ESME_RSUBMITFAIL", 0x45}, {"ESME_RINVDSTTON", 0x50},  {"ESME_RTHROTTLED", 0x58}, {"ESME_RINVESMCLASS", 0x43},
    {"ESME_RX_P_APPN", 0x65},   {"ESME_RUNKNOWNERR", 0xFF},
};

}  // namespace

// The user data as a PDU carries it, with its length (TP-UDL). The default
// alphabet comes one character an octet, after the header's octets when
// there is one; on the air it is packed seven bits each behind the header,
// and the length counts septets. Other codings go as they come.
std::vector<std::uint8_t> airUserData(const CentreSubmit& submit, std::size_t& length) {
    const auto& message = submit.shortMessage;
    const std::uint8_t dcs = submit.dataCoding;
    const bool sevenBit = (dcs & 0xEC) == 0x00 || (dcs & 0xF4) == 0xF0;
    if (!sevenBit) {
        length = message.size();
        return message;
    }
    std::size_t header = 0;
    if ((submit.esmClass & 0x40) && !message.empty()) header = std::min<std::size_t>(message.size(), message[0] + 1u);
    const std::size_t headerSeptets = (header * 8 + 6) / 7;
    length = headerSeptets + message.size() - header;
    std::vector<std::uint8_t> data(message.begin(), message.begin() + static_cast<std::ptrdiff_t>(header));
    data.resize((length * 7 + 7) / 8, 0);
    for (std::size_t i = header; i < message.size(); ++i) {
        const std::size_t bit = (headerSeptets + i - header) * 7;
        const unsigned value = message[i] & 0x7Fu;
        data[bit / 8] = static_cast<std::uint8_t>(data[bit / 8] | (value << (bit % 8)));
        if (bit % 8 > 1) data[bit / 8 + 1] = static_cast<std::uint8_t>(data[bit / 8 + 1] | (value >> (8 - bit % 8)));
    }
    return data;
}

Result<std::uint32_t> parseCommandStatus(const std::string& text) {
    for (const auto& entry : kStatuses)
        if (text == entry.name) return entry.status;
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || errno != 0 || value == 0 || value > 0xFFFFFFFFul)
        return Result<std::uint32_t>::failure("not a command status: " + text);
    return static_cast<std::uint32_t>(value);
}

Result<CentreSubmit> readCentreSubmit(std::span<const std::uint8_t> body) {
    SmppFields fields(body);
    CentreSubmit submit;
    fields.text(5);
    submit.sourceTon = fields.octet();
    submit.sourceNpi = fields.octet();
    submit.source = fields.text(20);
    submit.destinationTon = fields.octet();
    submit.destinationNpi = fields.octet();
    submit.destination = fields.text(20);
    submit.esmClass = fields.octet();
    submit.protocolId = fields.octet();
    fields.octet();  // priority
    fields.text(16);
    submit.validity = fields.text(16);
    submit.registeredDelivery = fields.octet();
    fields.octet();  // replace_if_present
    submit.dataCoding = fields.octet();
    fields.octet();  // sm_default_msg_id
    const std::size_t length = fields.octet();
    submit.shortMessage = fields.octets(length);
    if (fields.failed) return Result<CentreSubmit>::failure("submit_sm body is shorter than its fields");
    return submit;
}

Result<std::vector<std::uint8_t>> submitTpdu(const CentreSubmit& submit) {
    std::vector<std::uint8_t> tpdu;
    std::uint8_t first = 0x01 | 0x10;  // SMS-SUBMIT, relative validity
    if (submit.esmClass & 0x40) first |= 0x40;
    if (submit.registeredDelivery & 0x01) first |= 0x20;
    tpdu.push_back(first);
    tpdu.push_back(0);
    std::vector<std::uint8_t> semiOctets;
    for (char c : submit.destination) {
        if (c >= '0' && c <= '9')
            semiOctets.push_back(static_cast<std::uint8_t>(c - '0'));
        else if (c == '*')
            semiOctets.push_back(10);
        else if (c == '#')
            semiOctets.push_back(11);
        else
            return Result<std::vector<std::uint8_t>>::failure("destination is not digits: " + submit.destination);
    }
    if (semiOctets.empty()) return Result<std::vector<std::uint8_t>>::failure("no destination");
    tpdu.push_back(static_cast<std::uint8_t>(semiOctets.size()));
    tpdu.push_back(submit.destinationTon == 1 ? 0x91 : 0x81);
    for (std::size_t i = 0; i < semiOctets.size(); i += 2)
        tpdu.push_back(
            static_cast<std::uint8_t>(semiOctets[i] | ((i + 1 < semiOctets.size() ? semiOctets[i + 1] : 15) << 4)));
    tpdu.push_back(submit.protocolId);
    tpdu.push_back(submit.dataCoding);
    tpdu.push_back(0xA7);
    std::size_t length = 0;
    const auto data = airUserData(submit, length);
    if (length > 255) return Result<std::vector<std::uint8_t>>::failure("too many characters");
    tpdu.push_back(static_cast<std::uint8_t>(length));
    tpdu.insert(tpdu.end(), data.begin(), data.end());
    return tpdu;
}

}  // namespace pelorin::phone
