#include "smsc/smpp_pdu.h"

#include <gtest/gtest.h>

#include "support/pdu_reader.h"

namespace pelorin::smsc {
namespace {

using pelorin::testing::hexToBytes;

std::vector<std::uint8_t> octets(const std::string& hexWithSpaces) {
    std::string hex;
    for (char c : hexWithSpaces)
        if (c != ' ') hex += c;
    return hexToBytes(hex);
}

TEST(SmppPduTest, BindAndSubmitAreTheHandWrittenOctets) {
    EXPECT_EQ(encodeBind({false, "esme", "pw", ""}, 1),
              octets("0000001D 00000002 00000000 00000001 65736D6500 707700 00 34 00 00 00"));
    EXPECT_EQ(encodeBind({true, "esme", "", "VMA"}, 0x01020304),
              octets("0000001E 00000009 00000000 01020304 65736D6500 00 564D4100 34 00 00 00"));

    SubmitFields submit;
    submit.destination = {1, 1, "4917"};
    submit.registeredDelivery = true;
    submit.shortMessage = {0x06, 0x05, 0x04, 0x15, 0x83, 0x00, 0x00};
    EXPECT_EQ(encodeSubmit(submit, 2), octets("0000003C 00000004 00000000 00000002"
                                              "00 000000 01013439313700 40 00 00 00"
                                              "30303030303130303030303030303052 00"
                                              "01 00 F5 00 07 06050415830000"));
    submit.source = sourceAddress("Pelorin");
    submit.destination = {0, 1, "0170"};
    submit.registeredDelivery = false;
    submit.shortMessage.clear();
    EXPECT_EQ(encodeSubmit(submit, 3), octets("0000003C 00000004 00000000 00000003"
                                              "00 0500 50656C6F72696E00 0001 3031373000 40 00 00 00"
                                              "30303030303130303030303030303052 00"
                                              "00 00 F5 00 00"));
}

TEST(SmppPduTest, SourceAddressTypes) {
    struct Case {
        const char* text;
        std::uint8_t ton, npi;
        const char* digits;
    };
    for (const Case& c : {Case{"", 0, 0, ""}, Case{"+4917", 1, 1, "4917"}, Case{"0170", 0, 1, "0170"},
                          Case{"Camp", 5, 0, "Camp"}, Case{"+", 5, 0, "+"}, Case{"12a", 5, 0, "12a"}}) {
        const Address address = sourceAddress(c.text);
        EXPECT_EQ(address.ton, c.ton) << c.text;
        EXPECT_EQ(address.npi, c.npi) << c.text;
        EXPECT_EQ(address.digits, c.digits) << c.text;
    }
}

TEST(SmppPduTest, ResponsesNackAndHeaders) {
    EXPECT_EQ(encodeHeaderOnly(command::kGenericNack, 3, 7), octets("00000010 80000000 00000003 00000007"));
    EXPECT_EQ(encodeDeliverSmResp(9), octets("00000011 80000005 00000000 00000009 00"));

    const auto resp = octets("00000013 80000004 00000000 0000002A 61623100");
    const auto header = readHeader(resp);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->length, 0x13u);
    EXPECT_EQ(header->id, command::kSubmitSmResp);
    EXPECT_EQ(header->sequence, 0x2Au);
    EXPECT_EQ(readRespId(std::span(resp).subspan(16)), "ab1");
    EXPECT_EQ(readRespId({}), "");                                              // an error answer without a body
    EXPECT_EQ(readRespId(octets("616263")), std::nullopt);                      // no terminating zero
    EXPECT_EQ(readHeader(octets("00000010 80000004 00000000")), std::nullopt);  // 12 octets
    std::string why;
    EXPECT_EQ(readHeader(octets("0000000F 80000004 00000000 00000001"), &why), std::nullopt);
    EXPECT_EQ(why, "command_length 15 is out of range");
    EXPECT_EQ(readHeader(octets("7FFFFFFF 80000004 00000000 00000001")), std::nullopt);
}

TEST(SmppPduTest, ReceiptsByTlvAndByText) {
    const std::string message = "id:17 stat:UNDELIV";
    std::vector<std::uint8_t> body = octets("00 0101 3439313700 000000 04 00 00 00 00 00 00 00 00");
    body.push_back(static_cast<std::uint8_t>(message.size()));
    for (char c : message) body.push_back(static_cast<std::uint8_t>(c));
    const auto withoutTlv = body;
    for (auto o : octets("001E 0003 313700 0427 0001 05")) body.push_back(o);

    const auto deliver = readDeliverSm(body);
    ASSERT_TRUE(deliver);
    EXPECT_TRUE(deliver->isReceipt());
    EXPECT_EQ(deliver->source.digits, "4917");
    EXPECT_EQ(deliver->receiptedMessageId, "17");
    EXPECT_EQ(deliver->messageState, 5);
    EXPECT_EQ(receiptWord(deliver->messageState, ""), "undeliverable");

    const auto plain = readDeliverSm(withoutTlv);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->receiptedMessageId, std::nullopt);
    const auto parsed = readReceiptText(std::string(plain->shortMessage.begin(), plain->shortMessage.end()));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->id, "17");
    EXPECT_EQ(receiptWord(std::nullopt, parsed->stat), "undeliverable");

    // Every shorter body is refused; a TLV that runs past the end too.
    for (std::size_t size = 0; size < withoutTlv.size(); ++size)
        EXPECT_FALSE(readDeliverSm(std::span(withoutTlv).first(size))) << size;
    EXPECT_FALSE(readDeliverSm(std::span(body).first(body.size() - 1)));

    const auto standard = readReceiptText(
        "id:ab12 sub:001 dlvrd:001 submit date:2601010000 done date:2601010000 stat:DELIVRD err:000 text:");
    ASSERT_TRUE(standard);
    EXPECT_EQ(standard->id, "ab12");
    EXPECT_EQ(standard->stat, "DELIVRD");
    EXPECT_EQ(readReceiptText("no fields at all"), std::nullopt);
    EXPECT_EQ(readReceiptText("rid:5 stat:DELIVRD"), std::nullopt);  // "id:" inside another word
    EXPECT_EQ(receiptWord(std::nullopt, "WHATEVER"), "unknown");
}

// A short message of the default alphabet (a character an octet behind the
// header) takes its packed size on the air: 6 header octets are 7 septets,
// and 7 + 153 septets fill 140 octets exactly; the header alone, with its fill
// bit, takes 7.
TEST(SmppPduTest, AirOctetsPackTheDefaultAlphabet) {
    const std::vector<std::uint8_t> header{0x05, 0x00, 0x03, 0x01, 0x02, 0x01};
    auto withText = [&header](std::size_t characters) {
        auto message = header;
        message.resize(header.size() + characters, 'a');
        return message;
    };
    const struct {
        std::vector<std::uint8_t> message;
        std::uint8_t dataCoding;
        std::size_t octets;
    } cases[] = {
        {withText(153), 0x00, 140}, {withText(154), 0x00, 141}, {withText(0), 0x00, 7}, {withText(2), 0x00, 8},
        {withText(134), 0xF5, 140}, {withText(134), 0x08, 140}, {{}, 0x00, 0},
    };
    for (const auto& test : cases)
        EXPECT_EQ(airOctets(test.message, test.dataCoding), test.octets)
            << test.message.size() << " octets, coding " << int(test.dataCoding);
}

TEST(SmppPduTest, StatusTexts) {
    EXPECT_EQ(statusText(0x0B), "ESME_RINVDSTADR: invalid destination address");
    EXPECT_EQ(statusText(0x0E), "ESME_RINVPASWD: invalid password");
    EXPECT_EQ(statusText(0x58), "ESME_RTHROTTLED: throttling error: the account's message limits are exceeded");
    EXPECT_EQ(statusText(0x400), "status 0x00000400");
}

}  // namespace
}  // namespace pelorin::smsc
