#include "phone/submit_pdu.h"

#include <gtest/gtest.h>

#include "pdu_builder.h"
#include "phone/hex.h"

namespace pelorin::phone {
namespace {

using testing::Octets;
using testing::operator+;

// A group graphic for +123, typed by hand: columns 0, 4, ..., 64 of row 0 set.
std::string groupGraphicText() {
    std::string bitmap = "88888888888888888";
    bitmap += std::string(252 - bitmap.size(), '0');
    return "005100039121F300F5A78A060504158300003000480E01" + bitmap;
}

TEST(SubmitPdu, DecodesTheFieldsOfAHandWrittenGroupGraphic) {
    const auto message = decodeSubmitText(groupGraphicText(), 148);
    ASSERT_TRUE(message) << message.error();
    EXPECT_EQ(message->firstOctet, 0x51);
    EXPECT_FALSE(message->statusReportRequested());
    EXPECT_EQ(message->messageReference, 0x00);
    EXPECT_EQ(message->typeOfAddress, 0x91);
    EXPECT_EQ(message->number, "+123");
    EXPECT_EQ(message->protocolIdentifier, 0x00);
    EXPECT_EQ(message->dataCoding, 0xF5);
    EXPECT_EQ(message->alphabet, Alphabet::Octets);
    EXPECT_EQ(message->validityFormat(), 2u);
    EXPECT_EQ(message->validityPeriod, Octets{0xA7});
    EXPECT_EQ(message->userDataLength, 138);
    EXPECT_EQ(message->destinationPort, 0x1583);
    EXPECT_EQ(message->originatorPort, 0x0000);
    EXPECT_FALSE(message->concatenation);
    ASSERT_EQ(message->payload.size(), 131u);  // 0x30, OTA header, 126 bitmap octets
    EXPECT_EQ(message->payload[0], 0x30);
    EXPECT_EQ(message->payload[5], 0x88);
    EXPECT_EQ(message->payload[13], 0x80);
    EXPECT_EQ(message->payload[14], 0x00);
}

TEST(SubmitPdu, ReadsAddressesOfEveryShape) {
    struct Case {
        std::uint8_t digits;
        Octets field;
        std::string number;
    };
    const Case cases[] = {
        {4, {0x81, 0x21, 0x43}, "1234"},
        {3, {0x81, 0x21, 0xF3}, "123"},
        {0, {0x81}, ""},
        {0, {0x91}, "+"},
        {11, {0x91, 0x94, 0x71, 0x23, 0x45, 0x67, 0xF8}, "+49173254768"},
        {2, {0x81, 0xBA}, "*#"},
    };
    for (const Case& c : cases) {
        testing::Submit submit;
        submit.digitCount = c.digits;
        submit.address = c.field;
        submit.header = testing::portHeader(0x1583);
        const auto message = decodeSubmit(submit.tpdu());
        ASSERT_TRUE(message) << c.number << ": " << message.error();
        EXPECT_EQ(message->number, c.number);
    }
}

TEST(SubmitPdu, RefusesBrokenAddresses) {
    testing::Submit odd;
    odd.address = {0x81, 0x21, 0x33};  // odd count without the F filler
    EXPECT_FALSE(decodeSubmit(odd.tpdu()));
    testing::Submit filler;
    filler.digitCount = 4;
    filler.address = {0x81, 0xF1, 0x43};  // F inside the digits
    EXPECT_FALSE(decodeSubmit(filler.tpdu()));
    testing::Submit noTopBit;
    noTopBit.address = {0x11, 0x21, 0xF3};
    EXPECT_FALSE(decodeSubmit(noTopBit.tpdu()));
    testing::Submit tooLong;
    tooLong.digitCount = 21;
    tooLong.address = Octets{0x81} + Octets(11, 0x11);
    EXPECT_FALSE(decodeSubmit(tooLong.tpdu()));
}

TEST(SubmitPdu, TakesTheValidityPeriodByItsFormat) {
    for (const auto& [firstOctet, length] : {std::pair{0x41, 0u}, {0x51, 1u}, {0x49, 7u}, {0x59, 7u}}) {
        testing::Submit submit;
        submit.firstOctet = static_cast<std::uint8_t>(firstOctet);
        submit.validity = Octets(length, 0x11);
        submit.header = testing::portHeader(0x1582);
        submit.payload = {1, 2, 3};
        const auto message = decodeSubmit(submit.tpdu());
        ASSERT_TRUE(message) << firstOctet << ": " << message.error();
        EXPECT_EQ(message->validityPeriod.size(), length);
        EXPECT_EQ(message->payload, (Octets{1, 2, 3}));

        // The same octets read with another format no longer add up.
        auto wrong = submit.tpdu();
        wrong[0] = static_cast<std::uint8_t>(firstOctet ^ (length == 7 ? 0x08 : 0x10));
        EXPECT_FALSE(decodeSubmit(wrong)) << firstOctet;
    }
}

TEST(SubmitPdu, ReadsTheStatusReportRequestAndConcatenation) {
    testing::Submit submit;
    submit.firstOctet = 0x71;
    submit.header = testing::portHeader(0x158A) + testing::concatenationHeader(0x01, 0x03, 0x02);
    const auto message = decodeSubmit(submit.tpdu());
    ASSERT_TRUE(message) << message.error();
    EXPECT_TRUE(message->statusReportRequested());
    ASSERT_TRUE(message->concatenation);
    EXPECT_EQ(message->concatenation->reference, 1u);
    EXPECT_EQ(message->concatenation->total, 3u);
    EXPECT_EQ(message->concatenation->sequence, 2u);
    EXPECT_EQ(message->header.size(), 2u);

    testing::Submit wide;
    wide.header = Octets{0x08, 0x04, 0x12, 0x34, 0x02, 0x01} + Octets{0x04, 0x02, 0x10, 0x20};
    const auto sixteen = decodeSubmit(wide.tpdu());
    ASSERT_TRUE(sixteen) << sixteen.error();
    EXPECT_EQ(sixteen->concatenation->reference, 0x1234u);
    EXPECT_EQ(sixteen->destinationPort, 0x10);
}

TEST(SubmitPdu, UnpacksSevenBitTextBehindAHeader) {
    // "hi" after a 6-octet header: 7 octets = 8 septets, the text from septet 8.
    Octets userData = {0x06, 0x05, 0x04, 0x15, 0x82, 0x00, 0x00};
    userData.push_back(0xE8);  // 'h' in bits 0-6, low bit of 'i' in bit 7
    userData.push_back(0x34);  // the rest of 'i'
    const Octets tpdu = Octets{0x41, 0x00, 0x00, 0x81, 0x00, 0x00, 10} + userData;
    const auto message = decodeSubmit(tpdu);
    ASSERT_TRUE(message) << message.error();
    EXPECT_EQ(message->alphabet, Alphabet::Gsm7);
    EXPECT_EQ(message->payload, (Octets{0x68, 0x69}));
}

TEST(SubmitPdu, RefusesEveryTruncation) {
    const auto full = parseHex(groupGraphicText()).value();
    const Octets tpdu(full.begin() + 1, full.end());
    ASSERT_TRUE(decodeSubmit(tpdu));
    for (std::size_t length = 0; length < tpdu.size(); ++length) {
        EXPECT_FALSE(decodeSubmit(std::span(tpdu).first(length))) << length;
    }
}

TEST(SubmitPdu, RefusesAUserDataLengthBeyondTheOctetsAndIgnoresOctetsBeyondIt) {
    const auto base = parseHex(groupGraphicText()).value();
    for (int delta : {1, -138, 117}) {
        Octets tpdu(base.begin() + 1, base.end());
        tpdu[9] = static_cast<std::uint8_t>(tpdu[9] + delta);
        EXPECT_FALSE(decodeSubmit(tpdu)) << delta;
    }
    // One octet more than the length declares, as some encoders send: the
    // message ends where its length says.
    const Octets tpdu(base.begin() + 1, base.end());
    const auto exact = decodeSubmit(tpdu);
    ASSERT_TRUE(exact) << exact.error();
    EXPECT_EQ(exact->ignoredOctets, 0u);
    for (const Octets& extra : {Octets{0x00}, Octets{0xAB, 0xCD, 0xEF}}) {
        const auto longer = decodeSubmit(tpdu + extra);
        ASSERT_TRUE(longer) << longer.error();
        EXPECT_EQ(longer->ignoredOctets, extra.size());
        EXPECT_EQ(longer->userData, exact->userData);
        EXPECT_EQ(longer->payload, exact->payload);
    }
    Octets shorter = tpdu;
    shorter[9] = static_cast<std::uint8_t>(shorter[9] - 1);
    const auto cut = decodeSubmit(shorter);
    ASSERT_TRUE(cut) << cut.error();
    EXPECT_EQ(cut->ignoredOctets, 1u);
    EXPECT_EQ(cut->userData, Octets(tpdu.begin() + 10, tpdu.end() - 1));

    // Seven-bit text: "hi" in two septets takes two octets; a third is ignored.
    const Octets text{0x11, 0x00, 0x00, 0x81, 0x00, 0x00, 0xA7, 0x02, 0xE8, 0x34, 0x00};
    const auto seven = decodeSubmit(text);
    ASSERT_TRUE(seven) << seven.error();
    EXPECT_EQ(seven->payload, (Octets{0x68, 0x69}));
    EXPECT_EQ(seven->ignoredOctets, 1u);
}

TEST(SubmitPdu, RefusesBrokenHeaders) {
    const auto refuses = [](Octets header, Octets payload = {}) {
        const Octets userData = header + payload;
        const Octets tpdu =
            Octets{0x51, 0x00, 0x00, 0x81, 0x00, 0xF5, 0xA7, static_cast<std::uint8_t>(userData.size())} + userData;
        return !decodeSubmit(tpdu);
    };
    EXPECT_TRUE(refuses({}));                                       // header indicated, no user data
    EXPECT_TRUE(refuses({0x05, 0x05, 0x04, 0x15}));                 // header length beyond the data
    EXPECT_TRUE(refuses({0x04, 0x05, 0x04, 0x15, 0x82}));           // element overruns the header
    EXPECT_TRUE(refuses({0x04, 0x00, 0x03, 0x01, 0x02}));           // element cut short
    EXPECT_TRUE(refuses({0x04, 0x00, 0x02, 0x01, 0x02}));           // concatenation of 2 octets
    EXPECT_TRUE(refuses({0x05, 0x05, 0x03, 0x15, 0x82, 0x00}));     // 16-bit ports of 3 octets
    EXPECT_FALSE(refuses({0x04, 0x70, 0x02, 0xAA, 0xBB}, {0x01}));  // unknown element kept
}

TEST(SubmitPdu, RefusesWhatIsNotAnSmsSubmit) {
    testing::Submit deliver;
    deliver.firstOctet = 0x50;  // SMS-DELIVER type
    EXPECT_FALSE(decodeSubmit(deliver.tpdu()));
    testing::Submit command;
    command.firstOctet = 0x52;
    EXPECT_FALSE(decodeSubmit(command.tpdu()));
}

TEST(SubmitPduText, ChecksTheTextAndTheAnnouncedLength) {
    const std::string good = groupGraphicText();
    EXPECT_TRUE(decodeSubmitText(good, 148));
    EXPECT_FALSE(decodeSubmitText(good, 147));
    EXPECT_FALSE(decodeSubmitText(good, 149));
    EXPECT_FALSE(decodeSubmitText(good.substr(0, good.size() - 1), 148));  // odd length
    std::string lower = good;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(decodeSubmitText(lower, 148));
    for (const char bad : {'G', ' ', '\r', 'x', '\0'}) {
        std::string text = good;
        text[40] = bad;
        EXPECT_FALSE(decodeSubmitText(text, 148)) << int(bad);
    }
    EXPECT_FALSE(decodeSubmitText("", 0));
    EXPECT_FALSE(decodeSubmitText("05", 0));  // service centre longer than the text
    // A service-centre address is skipped and not counted.
    EXPECT_TRUE(decodeSubmitText("069194710000F0" + good.substr(2), 148));
}

}  // namespace
}  // namespace pelorin::phone
