#include "phone/logo_payload.h"

#include <gtest/gtest.h>

#include "pdu_builder.h"
#include "phone/hex.h"
#include "phone/logo_store.h"

namespace pelorin::phone {
namespace {

using testing::Octets;
using testing::operator+;

SubmitMessage decodeOrFail(const testing::Submit& submit) {
    auto message = decodeSubmit(submit.tpdu());
    EXPECT_TRUE(message) << message.error();
    return message ? message.value() : SubmitMessage{};
}

CompletedMessage single(std::uint16_t port, Octets payload) {
    CompletedMessage message;
    message.destinationPort = port;
    message.payload = std::move(payload);
    message.reportRequested = {false};
    return message;
}

// Receives parts in the given order and returns the completed message.
CompletedMessage assemble(const std::vector<testing::Submit>& parts) {
    Reassembler reassembler;
    for (const auto& submit : parts) {
        auto result = reassembler.add(decodeOrFail(submit));
        if (result.status == ReassemblyResult::Status::Complete) return *result.message;
    }
    ADD_FAILURE() << "never completed";
    return {};
}

TEST(LogoPayload, ReadsAnOperatorLogoWithItsNetworkCode) {
    const Octets bits = testing::packBits(72, 14, [](unsigned x, unsigned y) { return x == y || x == 71; });
    const auto logo = interpretLogo(single(0x1582, Octets{0x62, 0xF2, 0x20} + testing::otaBitmap(72, 14, bits)));
    ASSERT_TRUE(logo) << logo.error();
    EXPECT_EQ(logo->type, LogoType::OperatorLogo);
    EXPECT_EQ(logo->networkCode->country, "262");
    EXPECT_EQ(logo->networkCode->network, "02");
    EXPECT_EQ(logo->bitmap.width, 72u);
    EXPECT_EQ(logo->bitmap.height, 14u);
    EXPECT_EQ(logo->bitmap.bits, bits);
    EXPECT_TRUE(logo->bitmap.pixel(13, 13));
    EXPECT_TRUE(logo->bitmap.pixel(71, 5));
    EXPECT_FALSE(logo->bitmap.pixel(70, 5));
    EXPECT_FALSE(logo->bitmap.pixel(72, 0));
}

TEST(LogoPayload, DecodesNetworkCodes) {
    const auto code = [](Octets octets) {
        const NetworkCode c = decodeNetworkCode(std::span<const std::uint8_t, 3>(octets.data(), 3));
        return c.country + "-" + c.network;
    };
    EXPECT_EQ(code({0x32, 0xF1, 0x10}), "231-01");
    EXPECT_EQ(code({0x00, 0xF0, 0x00}), "000-00");
    EXPECT_EQ(code({0x13, 0x00, 0x62}), "310-260");  // three-digit network code
}

TEST(LogoPayload, ReadsTheRestoreMessageAsANetworkZeroLogo) {
    const std::string text =
        "005100039121F300F5A78C0605041582000000F00000480E01E4339B93384CEC4E4C4A2A212AA0AA8AA4AA4A33112B30ACCCE4AC4A2"
        "A092AA0A88AA4AA442BB112B848EAA44A0000000000000000000000000000000000008464647237192B9D538A8A54454422AA09548A"
        "AA64672613AB09D28AAA4445140AAA0951E44547756732938956000200000000000000000000000000000000";
    const auto message = decodeSubmitText(text, 150);
    ASSERT_TRUE(message) << message.error();
    Reassembler reassembler;
    const auto logo = interpretLogo(*reassembler.add(message.value()).message);
    ASSERT_TRUE(logo) << logo.error();
    EXPECT_EQ(logo->networkCode->country, "000");
    EXPECT_EQ(logo->networkCode->network, "00");
    const auto setInRow = [&](unsigned y) {
        unsigned count = 0;
        for (unsigned x = 0; x < 72; ++x) count += logo->bitmap.pixel(x, y) ? 1 : 0;
        return count;
    };
    for (unsigned y : {0u, 4u, 7u, 11u}) EXPECT_GT(setInRow(y), 10u) << y;
    for (unsigned y : {5u, 6u, 13u}) EXPECT_EQ(setInRow(y), 0u) << y;
    EXPECT_EQ(setInRow(12), 1u);
}

TEST(LogoPayload, PutsTheLargeOperatorLogoTogetherFromTwoMessages) {
    const auto set = [](unsigned x, unsigned y) { return (x == 77 && y == 0) || (x == 0 && y == 1) || y == 20; };
    const Octets bits = testing::packBits(78, 21, set);
    ASSERT_EQ(bits.size(), 205u);
    ASSERT_EQ(bits[9], 0x06);  // (77, 0) is 0x04 and (0, 1) is 0x02: rows are not byte-aligned

    testing::Submit first;
    first.header = testing::portHeader(0x1582) + testing::concatenationHeader(1, 2, 1);
    first.payload = Octets{0x30, 0x62, 0xF2, 0x20, 0x0A, 0x00, 78, 21, 0x01} + Octets(bits.begin(), bits.begin() + 119);
    testing::Submit second;
    second.firstOctet = 0x71;
    second.header = testing::portHeader(0x1582) + testing::concatenationHeader(1, 2, 2);
    second.payload = Octets(bits.begin() + 119, bits.end());
    ASSERT_EQ(first.tpdu()[9], 140);
    ASSERT_EQ(second.tpdu()[9], 98);

    for (const auto& order : {std::vector{first, second}, std::vector{second, first}}) {
        const CompletedMessage message = assemble(order);
        EXPECT_EQ(message.reportRequested, (std::vector<bool>{false, true}));
        const auto logo = interpretLogo(message);
        ASSERT_TRUE(logo) << logo.error();
        EXPECT_EQ(logo->type, LogoType::OperatorLogo);
        EXPECT_EQ(logo->networkCode->country, "262");
        EXPECT_EQ(logo->networkCode->network, "02");
        EXPECT_EQ(logo->bitmap.bits, bits);
        for (unsigned y = 0; y < 21; ++y) {
            for (unsigned x = 0; x < 78; ++x) ASSERT_EQ(logo->bitmap.pixel(x, y), set(x, y)) << x << "," << y;
        }
    }
}

TEST(LogoPayload, PutsThePictureMessageTogetherFromThreeMessages) {
    const auto set = [](unsigned x, unsigned y) { return (x + y) % 5 == 0; };
    const Octets bits = testing::packBits(72, 28, set);
    const Octets text = {'G', 'r', 0xFC, 0xDF, 'e', '\t'};  // Latin-1
    const std::size_t b1 = 117 - text.size();
    const std::size_t l = b1 + 128;

    const auto part = [](std::uint8_t sequence, Octets payload) {
        testing::Submit submit;
        submit.header = testing::portHeader(0x158A) + testing::concatenationHeader(1, 3, sequence);
        submit.payload = std::move(payload);
        return submit;
    };
    const Octets start = Octets{0x30, 0x00, 0x00, static_cast<std::uint8_t>(text.size())} + text +
                         Octets{0x02, 0x01, 0x00} + testing::otaBitmap(72, 28, {});
    const auto p1 = part(1, start + Octets(bits.begin(), bits.begin() + static_cast<long>(b1)));
    const auto p2 = part(2, Octets(bits.begin() + static_cast<long>(b1), bits.begin() + static_cast<long>(l)));
    const auto p3 = part(3, Octets(bits.begin() + static_cast<long>(l), bits.end()));
    ASSERT_EQ(p1.tpdu()[9], 140);
    ASSERT_EQ(p3.tpdu()[9], 19 + text.size());

    const auto logo = interpretLogo(assemble(std::vector{p2, p3, p1}));
    ASSERT_TRUE(logo) << logo.error();
    EXPECT_EQ(logo->type, LogoType::PictureMessage);
    EXPECT_EQ(logo->text,
              "Gr\xC3\xBC\xC3\x9F"
              "e\t");
    EXPECT_FALSE(logo->networkCode);
    EXPECT_EQ(logo->bitmap.width, 72u);
    EXPECT_EQ(logo->bitmap.height, 28u);
    EXPECT_EQ(logo->bitmap.bits, bits);
}

TEST(LogoPayload, SkipsUnknownPictureItemsByTheirLength) {
    const Octets bits = testing::packBits(8, 2, [](unsigned x, unsigned) { return x == 0; });
    const Octets payload = Octets{0x30, 0x07, 0x00, 0x02, 0x02, 0x00} + Octets{0x00, 0x00, 0x02, 'h', 'i'} +
                           Octets{0x02, 0x00, 0x06} + testing::otaBitmap(8, 2, bits);
    const auto logo = interpretLogo(single(0x158A, payload));
    ASSERT_TRUE(logo) << logo.error();
    EXPECT_EQ(logo->text, "hi");
    EXPECT_EQ(logo->bitmap.bits, (Octets{0x80, 0x80}));
}

TEST(LogoPayload, ReadsAGroupGraphicWithOrWithoutTheVersion) {
    const Octets bits = testing::packBits(72, 14, [](unsigned x, unsigned y) { return x == 0 && y == 13; });
    for (const Octets& version : {Octets{0x30}, Octets{}}) {
        const auto logo = interpretLogo(single(0x1583, version + testing::otaBitmap(72, 14, bits)));
        ASSERT_TRUE(logo) << logo.error();
        EXPECT_EQ(logo->type, LogoType::GroupGraphic);
        EXPECT_FALSE(logo->networkCode);
        EXPECT_EQ(logo->bitmap.bits[117], 0x80);
        EXPECT_TRUE(logo->bitmap.pixel(0, 13));
    }
}

TEST(LogoPayload, RefusesPayloadsThatDoNotAddUp) {
    const Octets bitmap = testing::otaBitmap(72, 14, Octets(126, 0xFF));
    const auto refuses = [](std::uint16_t port, Octets payload) { return !interpretLogo(single(port, payload)); };
    EXPECT_FALSE(refuses(0x1583, Octets{0x30} + bitmap));
    EXPECT_FALSE(refuses(0x1583, bitmap));                                                    // no 0x30
    EXPECT_TRUE(refuses(0x1583, Octets{0x31} + bitmap));                                      // other version
    EXPECT_TRUE(refuses(0x1583, Octets{0x30, 0x30} + bitmap));                                // two versions
    EXPECT_TRUE(refuses(0x1583, Octets{0x30} + testing::otaBitmap(72, 14, Octets(125, 0))));  // one octet short
    EXPECT_TRUE(refuses(0x1583, Octets{0x30} + testing::otaBitmap(72, 14, Octets(127, 0))));  // one too many
    EXPECT_TRUE(refuses(0x1583, Octets{0x30, 0x00, 72, 14, 0x02} + Octets(126, 0)));          // depth 2
    EXPECT_TRUE(refuses(0x1583, Octets{0x30, 0x01, 72, 14, 0x01} + Octets(126, 0)));          // info field
    EXPECT_TRUE(refuses(0x1583, Octets{0x30, 0x00, 0, 14, 0x01}));                            // no pixels
    EXPECT_TRUE(refuses(0x1582, Octets{0x62, 0xF2}));                                         // code cut short
    EXPECT_TRUE(refuses(0x1582, Octets{0x62, 0xF2, 0x20, 0x0A} + bitmap));                    // stray line feed
    EXPECT_TRUE(refuses(0x158A, Octets{0x30, 0x00, 0x00, 0x05, 'a'}));                        // item overruns
    EXPECT_TRUE(refuses(0x158A, Octets{0x30, 0x00, 0x00, 0x01, 'a'}));                        // no bitmap item
    EXPECT_TRUE(refuses(0x1581, Octets{0x30} + bitmap));                                      // not a logo port

    CompletedMessage sevenBit = single(0x1583, Octets{0x30} + bitmap);
    sevenBit.alphabet = Alphabet::Gsm7;
    EXPECT_FALSE(interpretLogo(sevenBit));
    CompletedMessage noPort = single(0x1583, Octets{0x30} + bitmap);
    noPort.destinationPort.reset();
    EXPECT_FALSE(interpretLogo(noPort));
}

}  // namespace
}  // namespace pelorin::phone
