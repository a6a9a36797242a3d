#include "phone/logo_payload.h"

#include "phone/octet_reader.h"

namespace pelorin::phone {

namespace {

constexpr std::uint8_t kVersion = 0x30;   // smart message version "0"
constexpr std::uint8_t kLineFeed = 0x0A;  // separates the network code in the long operator-logo form
constexpr std::uint8_t kTextItem = 0x00;  // Latin-1 text, one octet per character
constexpr std::uint8_t kBitmapItem = 0x02;

std::string latin1ToUtf8(std::span<const std::uint8_t> octets) {
    std::string text;
    for (std::uint8_t c : octets) {
        if (c < 0x80) {
            text.push_back(static_cast<char>(c));
        } else {
            text.push_back(static_cast<char>(0xC0 | (c >> 6)));
            text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return text;
}

char nibbleCharacter(unsigned value) { return "0123456789ABCDEF"[value & 0x0F]; }

// Operator logo: the network code and the bitmap, in the short form
// code + bitmap or the long form 0x30 + code + 0x0A + bitmap.
Result<ReceivedLogo> operatorLogo(std::span<const std::uint8_t> payload) {
    std::string why = "operator logo shorter than its network code";
    if (payload.size() >= 3) {
        auto bitmap = readOtaBitmap(payload.subspan(3));
        if (bitmap) {
            return ReceivedLogo{
                LogoType::OperatorLogo, std::move(bitmap.value()), decodeNetworkCode(payload.first<3>()), {}};
        }
        why = bitmap.error();
    }
    if (payload.size() >= 5 && payload[0] == kVersion && payload[4] == kLineFeed) {
        auto bitmap = readOtaBitmap(payload.subspan(5));
        if (bitmap) {
            return ReceivedLogo{LogoType::OperatorLogo,
                                std::move(bitmap.value()),
                                decodeNetworkCode(payload.subspan(1).first<3>()),
                                {}};
        }
        why = bitmap.error();
    }
    return Result<ReceivedLogo>::failure(why);
}

// Caller-group graphic: 0x30 + bitmap, or the bitmap alone (its header
// begins with 0x00, so the two forms cannot be mistaken for each other).
Result<ReceivedLogo> groupGraphic(std::span<const std::uint8_t> payload) {
    if (payload.empty() || (payload[0] != kVersion && payload[0] != 0x00)) {
        return Result<ReceivedLogo>::failure("group graphic neither with 0x30 nor with a bitmap first");
    }
    auto bitmap = readOtaBitmap(payload[0] == kVersion ? payload.subspan(1) : payload);
    if (!bitmap) return Result<ReceivedLogo>::failure(bitmap.error());
    return ReceivedLogo{LogoType::GroupGraphic, std::move(bitmap.value()), std::nullopt, {}};
}

// Picture message: 0x30, then items of type, 16-bit length and data.
Result<ReceivedLogo> pictureMessage(std::span<const std::uint8_t> payload) {
    using Failure = Result<ReceivedLogo>;
    if (payload.empty() || payload[0] != kVersion) return Failure::failure("picture message without 0x30");
    OctetReader reader(payload.subspan(1));
    std::optional<OtaBitmap> bitmap;
    std::string text;
    while (reader.remaining() > 0) {
        std::uint8_t type = 0, high = 0, low = 0;
        std::span<const std::uint8_t> data;
        if (!reader.read(type) || !reader.read(high) || !reader.read(low) ||
            !reader.take(static_cast<std::size_t>(high << 8 | low), data)) {
            return Failure::failure("picture message item overruns the message");
        }
        if (type == kTextItem) {
            text += latin1ToUtf8(data);
        } else if (type == kBitmapItem && !bitmap) {
            auto read = readOtaBitmap(data);
            if (!read) return Failure::failure(read.error());
            bitmap = std::move(read.value());
        }
    }
    if (!bitmap) return Failure::failure("picture message without a bitmap item");
    return ReceivedLogo{LogoType::PictureMessage, std::move(*bitmap), std::nullopt, std::move(text)};
}

}  // namespace

const char* logoTypeName(LogoType type) {
    switch (type) {
        case LogoType::OperatorLogo:
            return "operator-logo";
        case LogoType::GroupGraphic:
            return "group-graphic";
        case LogoType::PictureMessage:
            return "picture-message";
        case LogoType::EmsPicture:
            return "ems-picture";
    }
    return "unknown";
}

bool OtaBitmap::pixel(unsigned x, unsigned y) const {
    if (x >= width || y >= height) return false;
    const std::size_t index = static_cast<std::size_t>(y) * width + x;
    if (index / 8 >= bits.size()) return false;
    return (bits[index / 8] & (0x80u >> (index % 8))) != 0;
}

Result<OtaBitmap> readOtaBitmap(std::span<const std::uint8_t> data) {
    if (data.size() < 4) return Result<OtaBitmap>::failure("OTA bitmap header cut short");
    if (data[0] != 0x00) return Result<OtaBitmap>::failure("OTA bitmap info field is not 00");
    if (data[3] != 0x01) return Result<OtaBitmap>::failure("OTA bitmap depth is not 1");
    OtaBitmap bitmap;
    bitmap.width = data[1];
    bitmap.height = data[2];
    if (bitmap.width == 0 || bitmap.height == 0) return Result<OtaBitmap>::failure("OTA bitmap of no pixels");
    const std::size_t octets = (static_cast<std::size_t>(bitmap.width) * bitmap.height + 7) / 8;
    if (data.size() - 4 != octets) {
        return Result<OtaBitmap>::failure("OTA bitmap of " + std::to_string(bitmap.width) + "x" +
                                          std::to_string(bitmap.height) + " needs " + std::to_string(octets) +
                                          " octets, got " + std::to_string(data.size() - 4));
    }
    bitmap.bits.assign(data.begin() + 4, data.end());
    return bitmap;
}

NetworkCode decodeNetworkCode(std::span<const std::uint8_t, 3> octets) {
    NetworkCode code;
    code.country = {nibbleCharacter(octets[0]), nibbleCharacter(octets[0] >> 4), nibbleCharacter(octets[1])};
    code.network = {nibbleCharacter(octets[2]), nibbleCharacter(octets[2] >> 4)};
    if ((octets[1] >> 4) != 0x0F) code.network.push_back(nibbleCharacter(octets[1] >> 4));
    return code;
}

Result<ReceivedLogo> interpretLogo(const CompletedMessage& message) {
    using Failure = Result<ReceivedLogo>;
    if (!message.destinationPort) return Failure::failure("no application port");
    if (message.alphabet != Alphabet::Octets) return Failure::failure("not 8-bit data");
    const std::span<const std::uint8_t> payload(message.payload);
    switch (*message.destinationPort) {
        case kOperatorLogoPort:
            return operatorLogo(payload);
        case kGroupGraphicPort:
            return groupGraphic(payload);
        case kPictureMessagePort:
            return pictureMessage(payload);
        default:
            break;
    }
    return Failure::failure("port " + std::to_string(*message.destinationPort) + " is not a logo port");
}

}  // namespace pelorin::phone
