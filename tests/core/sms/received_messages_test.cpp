#include "sms/received_messages.h"

#include <gtest/gtest.h>

#include "sms/deliver_pdu.h"
#include "sms/inbox_reader.h"
#include "support/deliver_builder.h"

namespace pelorin {
namespace {

using Octets = testing::DeliverOctets;
using testing::Deliver;
using testing::operator+;
using testing::ota;
using testing::port16;
using testing::port8;

std::vector<ReceivedItem> collect(const std::vector<std::string>& hexes) {
    std::vector<StoredPdu> listed;
    for (std::size_t i = 0; i < hexes.size(); ++i) listed.push_back({"SM", static_cast<unsigned>(i + 1), 0, hexes[i]});
    return collectReceived(listed);
}

TEST(ReceivedMessages, RecognisesEachLogoKindInBothPortForms) {
    // One message holds only a small picture; the 72 x 28 one takes three parts.
    const Octets picture = Octets{0x30, 0x00, 0x00, 0x03, 'H', 0xE9, '!', 0x02, 0x00, 0x0C} + ota(8, 8, 0xA5);
    struct Row {
        Octets header;
        Octets payload;
        ReceivedKind kind;
        unsigned width, height;
        std::optional<LogoKind> canvas;
        std::string mcc, mnc, text;
        std::uint8_t fill;
    };
    const std::vector<Row> rows = {
        {port16(0x1582), Octets{0x62, 0xF2, 0x20} + ota(72, 14, 0x81), ReceivedKind::OperatorLogo, 72, 14,
         LogoKind::Operator, "262", "02", "", 0x81},
        {port8(0x82), Octets{0x13, 0x00, 0x14} + ota(72, 14, 0x81), ReceivedKind::OperatorLogo, 72, 14,
         LogoKind::Operator, "310", "410", "", 0x81},
        {port16(0x1583), Octets{0x30} + ota(72, 14, 0x3C), ReceivedKind::GroupGraphic, 72, 14, LogoKind::Operator, "",
         "", "", 0x3C},
        {port8(0x83), ota(72, 14, 0x3C), ReceivedKind::GroupGraphic, 72, 14, LogoKind::Operator, "", "", "", 0x3C},
        {port16(0x158A), picture, ReceivedKind::PictureMessage, 8, 8, std::nullopt, "", "", "H\u00E9!", 0xA5},
        {port8(0x8A), picture, ReceivedKind::PictureMessage, 8, 8, std::nullopt, "", "", "H\u00E9!", 0xA5},
        {port16(0x1583), ota(16, 16, 0xFF), ReceivedKind::GroupGraphic, 16, 16, std::nullopt, "", "", "", 0xFF},
    };
    for (const Row& row : rows) {
        const auto items = collect({Deliver{row.header, row.payload}.hex()});
        ASSERT_EQ(items.size(), 1u);
        const ReceivedItem& item = items[0];
        SCOPED_TRACE(receivedKindName(row.kind) + std::string(" ") + item.reason);
        EXPECT_EQ(item.kind, row.kind);
        EXPECT_EQ(item.width, row.width);
        EXPECT_EQ(item.height, row.height);
        EXPECT_EQ(item.canvas, row.canvas);
        EXPECT_EQ(item.bitmap, Octets((row.width * row.height + 7) / 8, row.fill));
        EXPECT_EQ(item.mcc, row.mcc);
        EXPECT_EQ(item.mnc, row.mnc);
        EXPECT_EQ(item.text, row.text);
        EXPECT_EQ(item.sender, "+4912345");
        EXPECT_EQ(item.timeStamp, "2026-12-07 17:45:00 +01:00");
        EXPECT_EQ(item.indices, std::vector<unsigned>{1});
    }
}

// A 78 x 21 operator logo in the long form, over two parts: 0x30, code,
// 0x0A, bitmap.
std::vector<std::string> largeLogoParts(const Octets& concatenation1, const Octets& concatenation2) {
    const Octets whole = Octets{0x30, 0x62, 0xF2, 0x70, 0x0A} + ota(78, 21, 0x0F);
    const Octets first(whole.begin(), whole.begin() + 127);
    const Octets second(whole.begin() + 127, whole.end());
    return {Deliver{port16(0x1582) + concatenation1, first}.hex(),
            Deliver{port16(0x1582) + concatenation2, second}.hex()};
}

TEST(ReceivedMessages, PutsPartsTogetherInAnyOrderAndReportsAMissingOne) {
    // 16-bit reference, listed second part first, a text message between them.
    auto parts = largeLogoParts({0x08, 0x04, 0x12, 0x34, 2, 1}, {0x08, 0x04, 0x12, 0x34, 2, 2});
    const std::string text = Deliver{{}, {'H', 'i', 0x1B, 0x65}, 0x00}.hex();
    auto items = collect({parts[1], text, parts[0]});
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].kind, ReceivedKind::OperatorLogo) << items[0].reason;
    EXPECT_EQ(items[0].indices, (std::vector<unsigned>{3, 1}));
    EXPECT_EQ(items[0].canvas, LogoKind::LargeOperator);
    EXPECT_EQ(items[0].mcc + "-" + items[0].mnc, "262-07");
    EXPECT_EQ(items[0].bitmap, Octets(205, 0x0F));
    EXPECT_EQ(items[1].kind, ReceivedKind::Text);
    EXPECT_EQ(items[1].text, "Hi\u20AC");

    // 8-bit reference: part 1 of 3 and part 3 of 3; nothing is guessed.
    parts = largeLogoParts({0x00, 0x03, 0x07, 3, 1}, {0x00, 0x03, 0x07, 3, 3});
    items = collect({parts[0], parts[1]});
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].kind, ReceivedKind::Skipped);
    EXPECT_EQ(items[0].reason, "part 2 of 3 missing");
    EXPECT_EQ(items[0].indices, (std::vector<unsigned>{1, 2}));
    EXPECT_TRUE(items[0].bitmap.empty());

    // A part number twice: two messages share the reference, and the group
    // is skipped whole, whatever else is missing or there.
    items = collect({parts[0], parts[1], parts[1]});
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].kind, ReceivedKind::Skipped);
    EXPECT_EQ(items[0].reason, "part 3 of 3 appears more than once: reference 7 holds more than one message");
    EXPECT_EQ(items[0].indices, (std::vector<unsigned>{1, 2, 3}));

    // The same reference in the 8-bit and the 16-bit element: two messages.
    parts = largeLogoParts({0x00, 0x03, 0x07, 2, 1}, {0x08, 0x04, 0x00, 0x07, 2, 2});
    items = collect({parts[0], parts[1]});
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].reason, "part 2 of 2 missing");
    EXPECT_EQ(items[1].reason, "part 1 of 2 missing");
}

TEST(ReceivedMessages, TellsTextStatusReportsAndOtherDataApart) {
    Deliver ucs2{{}, {0x04, 0x1F, 0xD8, 0x3D, 0xDE, 0x00}, 0x08};
    ucs2.sender = {0x08, 0xD0, 0xD0, 0x32, 0xFB, 0x0D};  // alphanumeric "Pelo" in 7-bit
    const std::vector<std::string> hexes = {
        ucs2.hex(),
        "0006010B919421436587F9622170715400406221707154104000",  // status report
        "0011000B919421436587F90000AA00",                        // a stored SMS-SUBMIT
        Deliver{port16(0x0B84), {1, 2, 3}}.hex(),
        Deliver{{}, {1, 2, 3}}.hex(),
    };
    const auto items = collect(hexes);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].kind, ReceivedKind::Text);
    EXPECT_EQ(items[0].text, "\u041F\U0001F600");
    EXPECT_EQ(items[0].sender, "Pelo");
    EXPECT_EQ(items[1].reason, "a status report");
    EXPECT_EQ(items[2].reason, "a stored outgoing message");
    EXPECT_EQ(items[3].reason, "data for port 2948");
    EXPECT_EQ(items[4].reason, "8-bit data of 3 octets");
    for (std::size_t i = 1; i < items.size(); ++i) EXPECT_EQ(items[i].kind, ReceivedKind::Other) << i;
}

TEST(ReceivedMessages, SkipsPdusWhoseLengthsLieWithTheReason) {
    const std::string good = Deliver{port16(0x1583), ota(72, 14, 0)}.hex();
    Deliver longer{port16(0x1583), ota(72, 14, 0)};
    longer.lengthError = 1;
    Deliver shorter = longer;
    shorter.lengthError = -1;
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"", "the PDU is empty"},
        {"0791", "the service-centre field runs past the PDU"},
        {"00", "the PDU ends after the service centre"},
        {"0003", "a reserved message type"},
        {"00041591", "the sender's address is longer than 20 digits"},
        {"0004079194", "the sender's digits run past the PDU"},
        {good.substr(0, 30), "the PDU ends before its time stamp does"},
        {good.substr(0, 34), "the user data length is missing"},
        {good + "00", "the user data length says 137 octets but 138 follow"},
        {longer.hex(), "the user data length says 138 octets but 137 follow"},
        {shorter.hex(), "the user data length says 136 octets but 137 follow"},
        {Deliver{{}, Octets(141, 0)}.hex(), "a user data length of 141 octets is more than a message holds"},
        {Deliver{{0x05, 0x05, 0x15, 0x83, 0, 0, 0}, {}}.hex(), "information element 05 is 5 octets long, not 4"},
        {Deliver{{0x00, 0x09}, {}}.hex(), "an information element runs past the user data header"},
        {Deliver{port16(0x1583), ota(72, 14, 0) + Octets{0}}.hex(),
         "group-graphic: a bitmap of 72x14 needs 126 octets, 127 follow"},
        {Deliver{port16(0x1582), {0x62, 0xF2}}.hex(),
         "operator-logo: the operator logo is shorter than its network code"},
        {Deliver{port16(0x158A), {0x30, 0x02, 0x01, 0x00, 0x00}}.hex(),
         "picture-message: a picture message item runs past the message"},
        {"0004", "the sender's address is cut short"},
        {"0G", "a character that is not a hex digit"},
        {"000", "an odd number of hex digits"},
    };
    for (const auto& [hex, reason] : rows) {
        const auto items = collect({hex});
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].kind, ReceivedKind::Skipped) << hex;
        EXPECT_EQ(items[0].reason, reason) << hex;
    }
    // The header length octet itself claiming more than there is.
    EXPECT_EQ(readReportedPduHex("00440791942143F500F56221707154004002"
                                 "0A00")
                  .reason,
              "the user data header is longer than the user data");
}

TEST(ReceivedMessages, ReadsTheListingOfAPhone) {
    const std::string reply =
        "AT+CMGL=4\r\r\n+CMGL: 3,1,,24\r\n0791AB\r\n+CMGL: 12,0,\"Bob\",5\r\n00ff\r\n"
        "+CMGL: x,0,,5\r\n00AA\r\n+CMGL: 4,0,,5\r\nnot hex\r\n+CMGL: 7\r\n\r\nOK\r\n";
    const auto listed = parseMessageListing(reply, "ME");
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].memory, "ME");
    EXPECT_EQ(listed[0].index, 3u);
    EXPECT_EQ(listed[0].status, 1u);
    EXPECT_EQ(listed[0].hex, "0791AB");
    EXPECT_EQ(listed[1].index, 12u);
    EXPECT_EQ(listed[1].hex, "00ff");
    EXPECT_TRUE(parseMessageListing("+CMGL: 1,0,,5", "SM").empty()) << "the PDU line is missing";
}

}  // namespace
}  // namespace pelorin
