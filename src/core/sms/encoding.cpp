#include "sms/encoding.h"

#include <algorithm>

#include "document/document.h"
#include "document/packed.h"
#include "ringtone/smart_messaging.h"
#include "util/text.h"

namespace pelorin {

namespace {

// The octets of upper-case hex text (the fixed parts below are written so).
std::vector<std::uint8_t> octetsOfHex(std::string_view hex) {
    auto value = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    std::vector<std::uint8_t> octets;
    octets.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        octets.push_back(static_cast<std::uint8_t>(value(hex[i]) * 16 + value(hex[i + 1])));
    return octets;
}

// The canvas a job sends; a job without a document sends a blank one.
const Canvas& canvasOf(const SendJob& job, LogoKind kind) {
    static const Canvas blankOperator(sizeOf(LogoKind::Operator));
    static const Canvas blankPicture(sizeOf(LogoKind::Picture));
    static const Canvas blankLarge(sizeOf(LogoKind::LargeOperator));
    if (job.Document != nullptr) return job.Document->canvas(kind);
    switch (kind) {
        case LogoKind::Picture:
            return blankPicture;
        case LogoKind::LargeOperator:
            return blankLarge;
        case LogoKind::Operator:
            break;
    }
    return blankOperator;
}

std::string hexRange(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to) {
    return hexBytes(bytes.data() + from, to - from);
}

// One part from its user data (header included, as hex text). The PDU is
// SMS-SUBMIT with relative validity and a user data header (first octet 0x51,
// 0x71 with the status-report request), protocol 0, coding 0xF5, validity
// 0xA7 (24 hours), then the user data length and the user data.
MessagePart makePart(bool report, const DestinationAddress& address, const std::string& userDataHex,
                     std::string caption) {
    MessagePart part;
    part.userData = octetsOfHex(userDataHex);
    part.statusReport = report;
    part.dataCoding = kPartDataCoding;
    part.destinationDigits = address.digits;
    part.international = address.international;
    part.pdu = std::string("00") + (report ? "71" : "51") + "00" + address.field + "00" + hexOctet(part.dataCoding) +
               "A7" + hexOctet(static_cast<unsigned>(part.userData.size())) + userDataHex;
    part.length = address.AddressOctets + 8 + static_cast<int>(part.userData.size());
    part.caption = std::move(caption);
    return part;
}

constexpr const char* kRestoreUserData =
    "0605041582000000F00000480E01E4339B93384CEC4E4C4A2A212AA0AA8AA4AA4A33112B30ACCCE4AC4A2A092AA0A88AA4"
    "AA442BB112B848EAA44A0000000000000000000000000000000000008464647237192B9D538A8A54454422AA09548AAA646726"
    "13AB09D28AAA4445140AAA0951E44547756732938956000200000000000000000000000000000000";

std::vector<MessagePart> operatorLogo(const SendJob& job, const DestinationAddress& address) {
    const auto bitmap = PackOtaBitmap(canvasOf(job, LogoKind::Operator));
    const std::string userData = std::string("0605041582") + "0000" +
                                 EncodeNetworkCode(job.CountryCode, job.OperatorCode) + "00480E01" +
                                 hexRange(bitmap, 0, bitmap.size());
    return {makePart(job.DeliveryReport, address, userData, "Sending SMS")};
}

std::vector<MessagePart> groupGraphic(const SendJob& job, const DestinationAddress& address) {
    const auto bitmap = PackOtaBitmap(canvasOf(job, LogoKind::Operator));
    const std::string userData = "060504158300003000480E01" + hexRange(bitmap, 0, bitmap.size());
    return {makePart(job.DeliveryReport, address, userData, "Sending SMS")};
}

std::vector<MessagePart> restoreOperatorLogo(const SendJob& job, const DestinationAddress& address) {
    return {makePart(job.DeliveryReport, address, kRestoreUserData, "Sending SMS")};
}

std::vector<MessagePart> largeOperatorLogo(const SendJob& job, const DestinationAddress& address) {
    const auto bitmap = PackOtaBitmap(canvasOf(job, LogoKind::LargeOperator));

    // Message 1 fills its 140 octets of user data; the bitmap takes what the
    // header, network code and OTA header leave.
    const std::string userData1 = std::string("0B050415820000000301020130") +
                                  EncodeNetworkCode(job.CountryCode, job.OperatorCode) + "0A" + "004E1501";
    const std::size_t j = 140 - userData1.size() / 2;
    return {makePart(false, address, userData1 + hexRange(bitmap, 0, j), "Sending SMS 1/2"),
            makePart(job.DeliveryReport, address, "0B0504158200000003010202" + hexRange(bitmap, j, bitmap.size()),
                     "Sending SMS 2/2")};
}

std::vector<MessagePart> pictureMessage(const SendJob& job, const DestinationAddress& address) {
    const auto bitmap = PackOtaBitmap(canvasOf(job, LogoKind::Picture));
    const std::u32string text = PictureTextToSend(job.Text);
    const std::string octets = toOctets(text);

    // Message 1: header, the text item, the start of the bitmap item.
    const std::string userData1 =
        std::string("0B0504158A00000003010301") + "30" + "0000" + hexOctet(static_cast<unsigned>(text.size())) +
        hexBytes(reinterpret_cast<const std::uint8_t*>(octets.data()), octets.size()) + "020100" + "00481C01";
    const std::size_t b1 = 140 - userData1.size() / 2;
    // Message 2: nothing but bitmap behind its header; message 3 the rest.
    const std::size_t l = b1 + 128;
    return {makePart(false, address, userData1 + hexRange(bitmap, 0, b1), "Sending SMS 1/3"),
            makePart(false, address, "0B0504158A00000003010302" + hexRange(bitmap, b1, l), "Sending SMS 2/3"),
            makePart(job.DeliveryReport, address, "0B0504158A00000003010303" + hexRange(bitmap, l, bitmap.size()),
                     "Sending SMS 3/3")};
}

// One message, or 2 or 3 concatenated parts; none when the tune needs more
// (the send is refused before it gets here).
std::vector<MessagePart> ringtoneMessages(const SendJob& job, const DestinationAddress& address) {
    const auto userData = ringtone::ringtoneUserData(job.RingtoneOctets);
    std::vector<MessagePart> parts;
    for (std::size_t k = 0; k < userData.size(); ++k) {
        const bool last = k + 1 == userData.size();
        const std::string caption =
            userData.size() == 1 ? "Sending SMS"
                                 : "Sending SMS " + std::to_string(k + 1) + "/" + std::to_string(userData.size());
        parts.push_back(
            makePart(job.DeliveryReport && last, address, hexRange(userData[k], 0, userData[k].size()), caption));
    }
    return parts;
}

}  // namespace

std::vector<std::uint8_t> PackOtaBitmap(const Canvas& canvas) { return packCanvas(canvas); }

DestinationAddress EncodeDestinationAddress(std::string_view number) {
    std::u32string characters = decodeUtf8(number);
    const bool international = !characters.empty() && characters.front() == U'+';
    if (international) characters.erase(0, 1);
    std::string digits = toOctets(characters);
    for (char& digit : digits) {
        if (digit == '*') digit = 'A';
        if (digit == '#') digit = 'B';
    }

    DestinationAddress address;
    address.digits = toOctets(characters);
    address.international = international;
    address.AddressOctets = static_cast<int>((digits.size() + 1) / 2);
    address.field = hexOctet(static_cast<unsigned>(digits.size())) + (international ? "91" : "81");
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        address.field.push_back(i + 1 < digits.size() ? digits[i + 1] : 'F');
        address.field.push_back(digits[i]);
    }
    return address;
}

namespace {
bool isDialable(char c) { return (c >= '0' && c <= '9') || c == '*' || c == '#'; }
bool isSeparator(char c) { return c == ' ' || c == '-' || c == '.' || c == '(' || c == ')'; }
}  // namespace

bool IsDialableNumber(std::string_view number) {
    if (!number.empty() && number.front() == '+') number.remove_prefix(1);
    return !number.empty() && number.size() <= kMaxNumberDigits &&
           std::all_of(number.begin(), number.end(), isDialable);
}

NormalizedNumber NormalizeNumber(std::string_view typed) {
    while (!typed.empty() && typed.front() == ' ') typed.remove_prefix(1);
    while (!typed.empty() && typed.back() == ' ') typed.remove_suffix(1);
    std::string number;
    if (!typed.empty() && typed.front() == '+') {
        number.push_back('+');
        typed.remove_prefix(1);
    }
    const bool framed = !typed.empty() && (isDialable(typed.front()) || typed.front() == '(') &&
                        (isDialable(typed.back()) || typed.back() == ')');
    std::size_t digits = 0;
    for (char c : typed) {
        if (isDialable(c)) {
            number.push_back(c);
            ++digits;
        } else if (!isSeparator(c)) {
            return {{}, kNumberCharactersMessage};
        }
    }
    if (!framed || digits == 0) return {{}, kNumberCharactersMessage};
    if (digits > kMaxNumberDigits) return {{}, kNumberLengthMessage};
    return {number, {}};
}

std::string EncodeNetworkCode(std::string_view countryCode, std::string_view operatorCode) {
    const std::string country = toOctets(decodeUtf8(countryCode));
    const std::string network = toOctets(decodeUtf8(operatorCode));
    auto digit = [](const std::string& code, std::size_t i) { return i < code.size() ? code[i] : 'F'; };
    return {digit(country, 1), digit(country, 0), 'F', digit(country, 2), digit(network, 1), digit(network, 0)};
}

std::u32string PictureTextToSend(std::string_view text) {
    std::u32string characters = decodeUtf8(text);
    if (characters.empty()) characters = U" ";
    if (characters.size() > kMaxPictureText) characters.resize(kMaxPictureText);
    return characters;
}

std::vector<MessagePart> BuildSendParts(const SendJob& job) {
    const DestinationAddress address = EncodeDestinationAddress(job.Number);
    switch (job.Kind) {
        case SendJobKind::OperatorLogo:
            return operatorLogo(job, address);
        case SendJobKind::GroupGraphic:
            return groupGraphic(job, address);
        case SendJobKind::RestoreOperatorLogo:
            return restoreOperatorLogo(job, address);
        case SendJobKind::PictureMessage:
            return pictureMessage(job, address);
        case SendJobKind::LargeOperatorLogo:
            return largeOperatorLogo(job, address);
        case SendJobKind::Ringtone:
            return ringtoneMessages(job, address);
    }
    return {};
}

}  // namespace pelorin
