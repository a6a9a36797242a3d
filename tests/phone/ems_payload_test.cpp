#include "phone/ems_payload.h"

#include <gtest/gtest.h>

#include "pdu_builder.h"
#include "support/septet_packing.h"

namespace pelorin::phone {
namespace {

using testing::Octets;
using testing::operator+;

// A TPDU of GSM 7-bit text behind a header.
Octets sevenBitTpdu(const Octets& header, const Octets& septets, std::uint8_t coding) {
    std::size_t length = 0;
    const Octets userData = pelorin::testing::sevenBitUserData(header, septets, length);
    return Octets{0x51, 0x00, 0x03, 0x91, 0x21, 0xF3, 0x00, coding, 0xA7, static_cast<std::uint8_t>(length)} + userData;
}

std::optional<Result<ReceivedLogo>> receiveAll(const std::vector<Octets>& tpdus) {
    Reassembler reassembler;
    for (const Octets& tpdu : tpdus) {
        auto message = decodeSubmit(tpdu);
        EXPECT_TRUE(message) << message.error();
        if (!message) return std::nullopt;
        auto result = reassembler.add(message.value());
        if (result.status == ReassemblyResult::Status::Complete) return interpretEms(*result.message);
    }
    ADD_FAILURE() << "never completed";
    return std::nullopt;
}

TEST(EmsPayload, EachPictureElementWithSevenBitTextInEveryCoding) {
    // 0x11 (16 x 16), 0x10 (32 x 32) and 0x12 (3 octets by 2 rows); header
    // lengths 35, 131 and 11 octets put the text after 5, 5 and 0 fill bits.
    struct Row {
        Octets header;
        unsigned width, height;
        Octets bits;
    };
    const Octets small = Octets(31, 0x00) + Octets{0x01};
    const Octets large = Octets{0x80} + Octets(127, 0x00);
    const std::vector<Row> rows = {
        {Octets{0x11, 0x21, 0x00} + small, 16, 16, small},
        {Octets{0x10, 0x81, 0x00} + large, 32, 32, large},
        {Octets{0x12, 0x09, 0x00, 0x03, 0x02, 0xF0, 0x00, 0x0F, 0x01, 0x02, 0x03},
         24,
         2,
         {0xF0, 0x00, 0x0F, 0x01, 0x02, 0x03}},
    };
    for (const Row& row : rows) {
        for (std::uint8_t coding : Octets{0x00, 0xF0, 0xF1, 0xF2, 0xF3}) {
            const auto logo = receiveAll({sevenBitTpdu(row.header, {0x48, 0x69, 0x1B, 0x28}, coding)});
            ASSERT_TRUE(logo && *logo) << (logo ? logo->error() : "not EMS");
            EXPECT_EQ((*logo)->type, LogoType::EmsPicture);
            EXPECT_EQ((*logo)->bitmap.width, row.width);
            EXPECT_EQ((*logo)->bitmap.height, row.height);
            EXPECT_EQ((*logo)->bitmap.bits, row.bits);
            EXPECT_EQ((*logo)->text, "Hi{") << int(coding);
        }
    }
}

TEST(EmsPayload, StripsOutOfOrderAreStitchedByThePromptWithUcs2Text) {
    testing::Submit first, second, third;
    for (auto* part : {&first, &second, &third}) part->dataCoding = 0x08;
    first.header =
        testing::concatenationHeader(5, 3, 1) + Octets{0x13, 0x01, 0x02, 0x12, 0x05, 0x00, 0x01, 0x02, 0x81, 0x18};
    second.header =
        testing::concatenationHeader(5, 3, 2) + Octets{0x12, 0x07, 0x00, 0x02, 0x02, 0xAA, 0xBB, 0xCC, 0xDD};
    third.header = testing::concatenationHeader(5, 3, 3);
    third.payload = {0x20, 0xAC, 0x00, 0x41};
    const auto logo = receiveAll({third.tpdu(), first.tpdu(), second.tpdu()});
    ASSERT_TRUE(logo && *logo) << (logo ? logo->error() : "not EMS");
    EXPECT_EQ((*logo)->bitmap.width, 24u);
    EXPECT_EQ((*logo)->bitmap.height, 2u);
    EXPECT_EQ((*logo)->bitmap.bits, (Octets{0x81, 0xAA, 0xBB, 0x18, 0xCC, 0xDD}));
    EXPECT_EQ((*logo)->text, "\u20ACA");
}

TEST(EmsPayload, MalformedPicturesAreRefusedAndOthersAreNotEms) {
    const std::vector<std::pair<Octets, std::string>> rows = {
        {{0x12, 0x05, 0x00, 0x02, 0x02, 0x00, 0x00}, "picture element 18 of 16x2 with 5 octets"},
        {{0x11, 0x02, 0x00, 0x00}, "picture element 17 of 16x16 with 2 octets"},
        {{0x12, 0x02, 0x00, 0x01}, "variable picture shorter than its three fields"},
        {{0x13, 0x01, 0x02, 0x12, 0x04, 0x00, 0x01, 0x01, 0xFF}, "user prompt indicator for 2 pictures, 1 follow"},
        {{0x13, 0x00, 0x12, 0x04, 0x00, 0x01, 0x01, 0xFF}, "user prompt indicator of the wrong length"},
        {{0x13, 0x01, 0x02, 0x12, 0x04, 0x00, 0x01, 0x01, 0xFF, 0x12, 0x05, 0x00, 0x01, 0x02, 0x00, 0x00},
         "strips of different heights"},
    };
    for (const auto& [header, why] : rows) {
        const auto logo = receiveAll({sevenBitTpdu(header, {}, 0x00)});
        ASSERT_TRUE(logo);
        EXPECT_FALSE(*logo);
        EXPECT_EQ(logo->error(), why);
    }
    // A plain concatenated text, and a picture element sent to a port.
    EXPECT_FALSE(receiveAll({sevenBitTpdu({0x00, 0x03, 0x01, 0x01, 0x01}, {0x41}, 0x00)}));
    testing::Submit ported;
    ported.header = testing::portHeader(0x1582) + Octets{0x12, 0x04, 0x00, 0x01, 0x01, 0xFF};
    EXPECT_FALSE(receiveAll({ported.tpdu()}));
}

}  // namespace
}  // namespace pelorin::phone
