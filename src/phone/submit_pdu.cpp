#include "phone/submit_pdu.h"

#include "phone/hex.h"
#include "phone/octet_reader.h"

namespace pelorin::phone {

namespace {

using Failure = Result<SubmitMessage>;

constexpr std::uint8_t kMessageTypeMask = 0x03;
constexpr std::uint8_t kMessageTypeSubmit = 0x01;
constexpr unsigned kMaxAddressDigits = 20;
constexpr unsigned kMaxUserDataOctets = 140;
constexpr unsigned kMaxUserDataSeptets = 160;

char semiOctetCharacter(unsigned value) {
    static constexpr char kCharacters[] = "0123456789*#abc";
    return kCharacters[value];
}

bool decodeAddress(OctetReader& reader, SubmitMessage& message, std::string& why) {
    std::uint8_t digitCount = 0;
    if (!reader.read(digitCount) || !reader.read(message.typeOfAddress)) {
        why = "destination address cut short";
        return false;
    }
    if (digitCount > kMaxAddressDigits) {
        why = "destination address longer than 20 digits";
        return false;
    }
    if ((message.typeOfAddress & 0x80) == 0) {
        why = "type of address without its top bit";
        return false;
    }
    std::span<const std::uint8_t> octets;
    if (!reader.take((digitCount + 1u) / 2u, octets)) {
        why = "destination address digits cut short";
        return false;
    }
    const bool alphanumeric = (message.typeOfAddress & 0x70) == 0x50;
    if ((message.typeOfAddress & 0x70) == 0x10) message.number = "+";
    for (unsigned i = 0; i < digitCount; ++i) {
        const std::uint8_t octet = octets[i / 2];
        const unsigned value = (i % 2 == 0) ? (octet & 0x0Fu) : (octet >> 4);
        if (value == 0x0F && !alphanumeric) {
            why = "filler inside the destination address";
            return false;
        }
        message.number.push_back(value == 0x0F ? 'f' : semiOctetCharacter(value));
    }
    if (digitCount % 2 != 0 && !alphanumeric && (octets.back() >> 4) != 0x0F) {
        why = "odd destination address without the F filler";
        return false;
    }
    return true;
}

bool decodeValidityPeriod(OctetReader& reader, SubmitMessage& message, std::string& why) {
    std::size_t length = 0;
    switch (message.validityFormat()) {
        case 0:
            length = 0;
            break;  // not present
        case 2:
            length = 1;
            break;  // relative
        case 1:     // enhanced
        case 3:
            length = 7;
            break;  // absolute
    }
    std::span<const std::uint8_t> octets;
    if (!reader.take(length, octets)) {
        why = "validity period cut short";
        return false;
    }
    message.validityPeriod.assign(octets.begin(), octets.end());
    return true;
}

Alphabet alphabetOf(std::uint8_t dcs) {
    const unsigned group = dcs >> 4;
    if (group <= 0x07) {  // general data coding (0x4x..0x7x: the same, marked for deletion)
        switch ((dcs >> 2) & 0x03) {
            case 1:
                return Alphabet::Octets;
            case 2:
                return Alphabet::Ucs2;
            default:
                break;
        }
        // Compressed text has no fixed alphabet; its octets are taken as they are.
        return (dcs & 0x20) != 0 ? Alphabet::Octets : Alphabet::Gsm7;
    }
    if (group == 0x0E) return Alphabet::Ucs2;
    if (group == 0x0F) return (dcs & 0x04) != 0 ? Alphabet::Octets : Alphabet::Gsm7;
    return Alphabet::Gsm7;  // message waiting groups and reserved codings
}

bool parseHeader(std::span<const std::uint8_t> header, SubmitMessage& message, std::string& why) {
    OctetReader reader(header);
    while (reader.remaining() > 0) {
        InformationElement element;
        std::uint8_t length = 0;
        std::span<const std::uint8_t> data;
        if (!reader.read(element.id) || !reader.read(length) || !reader.take(length, data)) {
            why = "information element overruns the user data header";
            return false;
        }
        element.data.assign(data.begin(), data.end());
        const auto expect = [&](std::size_t size) {
            if (data.size() == size) return true;
            why = "information element " + std::to_string(element.id) + " has the wrong length";
            return false;
        };
        switch (element.id) {
            case 0x00:  // concatenation, 8-bit reference
                if (!expect(3)) return false;
                message.concatenation = Concatenation{data[0], data[1], data[2]};
                break;
            case 0x08:  // concatenation, 16-bit reference
                if (!expect(4)) return false;
                message.concatenation = Concatenation{static_cast<unsigned>(data[0] << 8 | data[1]), data[2], data[3]};
                break;
            case 0x04:  // application ports, 8-bit
                if (!expect(2)) return false;
                message.destinationPort = data[0];
                message.originatorPort = data[1];
                break;
            case 0x05:  // application ports, 16-bit
                if (!expect(4)) return false;
                message.destinationPort = static_cast<std::uint16_t>(data[0] << 8 | data[1]);
                message.originatorPort = static_cast<std::uint16_t>(data[2] << 8 | data[3]);
                break;
            default:
                break;
        }
        message.header.push_back(std::move(element));
    }
    return true;
}

// Septets from bit position firstSeptet * 7 on, packed little-end first.
std::vector<std::uint8_t> unpackSeptets(std::span<const std::uint8_t> octets, std::size_t firstSeptet,
                                        std::size_t count) {
    std::vector<std::uint8_t> septets;
    septets.reserve(count);
    for (std::size_t i = firstSeptet; i < firstSeptet + count; ++i) {
        const std::size_t bit = i * 7;
        const std::size_t index = bit / 8;
        const unsigned shift = static_cast<unsigned>(bit % 8);
        unsigned value = octets[index] >> shift;
        if (shift > 1 && index + 1 < octets.size()) value |= static_cast<unsigned>(octets[index + 1]) << (8 - shift);
        septets.push_back(static_cast<std::uint8_t>(value & 0x7F));
    }
    return septets;
}

bool decodeUserData(OctetReader& reader, SubmitMessage& message, std::string& why) {
    if (!reader.read(message.userDataLength)) {
        why = "user data length missing";
        return false;
    }
    const bool septets = message.alphabet == Alphabet::Gsm7;
    const unsigned length = message.userDataLength;
    if (length > (septets ? kMaxUserDataSeptets : kMaxUserDataOctets)) {
        why = "user data length too large";
        return false;
    }
    const std::size_t octetCount = septets ? (length * 7u + 7u) / 8u : length;
    if (reader.remaining() < octetCount) {
        why = "user data length " + std::to_string(length) + " needs " + std::to_string(octetCount) + " octets but " +
              std::to_string(reader.remaining()) + " were received";
        return false;
    }
    std::span<const std::uint8_t> userData;
    reader.take(octetCount, userData);
    message.ignoredOctets = reader.remaining();
    message.userData.assign(userData.begin(), userData.end());

    std::size_t headerOctets = 0;
    if (message.hasUserDataHeader()) {
        if (userData.empty() || userData[0] + 1u > userData.size()) {
            why = "user data header longer than the user data";
            return false;
        }
        headerOctets = userData[0] + 1u;
        if (!parseHeader(userData.subspan(1, headerOctets - 1), message, why)) return false;
    }
    if (!septets) {
        message.payload.assign(userData.begin() + static_cast<std::ptrdiff_t>(headerOctets), userData.end());
        return true;
    }
    const std::size_t headerSeptets = (headerOctets * 8 + 6) / 7;
    if (headerSeptets > length) {
        why = "user data header longer than the user data";
        return false;
    }
    message.payload = unpackSeptets(userData, headerSeptets, length - headerSeptets);
    return true;
}

}  // namespace

Result<SubmitMessage> decodeSubmit(std::span<const std::uint8_t> tpdu) {
    OctetReader reader(tpdu);
    SubmitMessage message;
    std::string why;
    if (!reader.read(message.firstOctet)) return Failure::failure("empty message");
    if ((message.firstOctet & kMessageTypeMask) != kMessageTypeSubmit) return Failure::failure("not an SMS-SUBMIT");
    if (!reader.read(message.messageReference)) return Failure::failure("message reference missing");
    if (!decodeAddress(reader, message, why)) return Failure::failure(why);
    if (!reader.read(message.protocolIdentifier) || !reader.read(message.dataCoding)) {
        return Failure::failure("protocol identifier or data coding missing");
    }
    message.alphabet = alphabetOf(message.dataCoding);
    if (!decodeValidityPeriod(reader, message, why)) return Failure::failure(why);
    if (!decodeUserData(reader, message, why)) return Failure::failure(why);
    return message;
}

Result<SubmitMessage> decodeSubmitText(std::string_view hexText, unsigned declaredLength) {
    if (hexText.size() % 2 != 0) return Failure::failure("odd number of hex digits");
    const auto octets = parseHex(hexText);
    if (!octets) return Failure::failure("character that is not a hex digit");
    if (octets->empty()) return Failure::failure("no service-centre field");
    const std::size_t serviceCentre = 1u + (*octets)[0];
    if (serviceCentre > octets->size()) return Failure::failure("service-centre field cut short");
    const std::size_t tpduLength = octets->size() - serviceCentre;
    if (tpduLength != declaredLength) {
        return Failure::failure("length " + std::to_string(declaredLength) + " announced but " +
                                std::to_string(tpduLength) + " octets sent");
    }
    return decodeSubmit(std::span<const std::uint8_t>(*octets).subspan(serviceCentre));
}

}  // namespace pelorin::phone
