#include "sms/encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "document/document.h"
#include "support/pdu_reader.h"
#include "support/septet_packing.h"

namespace pelorin {
namespace {

using testing::readSubmitPdu;
using testing::SubmitPdu;

// A pattern with no symmetry, so a swapped row, column or bit shows up.
void fillPattern(Canvas& canvas, int seed) {
    for (int x = 0; x < canvas.width(); ++x)
        for (int y = 0; y < canvas.height(); ++y) canvas.set(x, y, ((x * 31 + y * 17 + seed) % 7) < 3);
}

// Reads the bitmap bits back out of concatenated OTA pixel bytes.
Canvas canvasFromBits(const std::vector<std::uint8_t>& bytes, int width, int height) {
    Canvas canvas(width, height);
    for (int i = 0; i < width * height; ++i) {
        const std::size_t byte = static_cast<std::size_t>(i / 8);
        if (byte < bytes.size() && (bytes[byte] & (0x80 >> (i % 8)))) canvas.set(i % width, i / width, true);
    }
    return canvas;
}

SubmitPdu read(const MessagePart& part) {
    std::string why;
    auto pdu = readSubmitPdu(part.pdu, &why);
    EXPECT_TRUE(pdu.has_value()) << why << " in " << part.pdu;
    return pdu.value_or(SubmitPdu{});
}

// Checks what every message of every kind shares: the frame fields, the
// declared lengths against the real ones, the AT+CMGS count.
void expectSoundFrame(const MessagePart& part, const SubmitPdu& pdu, std::uint16_t port) {
    EXPECT_EQ(pdu.serviceCentreLength, 0);
    EXPECT_EQ(pdu.firstOctet & 0xDF, 0x51);  // SUBMIT, relative validity, header present
    EXPECT_EQ(pdu.messageReference, 0);
    EXPECT_EQ(pdu.protocolIdentifier, 0);
    EXPECT_EQ(pdu.dataCoding, 0xF5);
    EXPECT_EQ(pdu.validityPeriod, 0xA7);
    EXPECT_EQ(pdu.userDataLength, pdu.userData.size()) << "declared user data length";
    EXPECT_LE(pdu.userData.size(), 140u);
    EXPECT_EQ(part.length, static_cast<int>(pdu.octetsAfterServiceCentre)) << "AT+CMGS length";
    EXPECT_EQ(pdu.destinationPort(), port);
    for (char c : part.pdu) EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << part.pdu;
}

SendJob jobFor(SendJobKind kind, const CPelorinDoc& doc) {
    SendJob job;
    job.Kind = kind;
    job.Number = "+4917012345";
    job.CountryCode = "262";
    job.OperatorCode = "02";
    job.Document = &doc;
    return job;
}

TEST(DestinationAddressTest, ExamplesOfEveryShape) {
    struct Case {
        const char* number;
        const char* field;
        int octets;
    } cases[] = {
        {"+123", "039121F3", 2}, {"123", "038121F3", 2}, {"1234", "04812143", 2},
        {"", "0081", 0},         {"+", "0091", 0},       {"+4917012345", "0A919471103254", 5},
    };
    for (const auto& c : cases) {
        const auto address = EncodeDestinationAddress(c.number);
        EXPECT_EQ(address.field, c.field) << c.number;
        EXPECT_EQ(address.AddressOctets, c.octets) << c.number;
    }
}

TEST(DestinationAddressTest, OnlyALeadingPlusIsDroppedOthersAreCopied) {
    EXPECT_EQ(EncodeDestinationAddress("1+2").field, "0381+1F2");
    EXPECT_EQ(EncodeDestinationAddress("++1").field, "02911+");
    // A character is one character however many UTF-8 bytes it takes.
    EXPECT_EQ(EncodeDestinationAddress("\xC3\xA9").field, std::string("0181F\xE9"));
}

TEST(DestinationAddressTest, DialableNumbersAreAnOptionalPlusThenOneToTwentyDigitsStarAndHash) {
    for (const char* number : {"0", "+4917012345", "*31#", "+#*0123456789", "+12345678901234567890"})
        EXPECT_TRUE(IsDialableNumber(number)) << number;
    for (const char* number :
         {"", "+", "123456789012345678901", "KO", "++1", "1+2", "+49 170", "12a", "-1", "12\r", "\xC3\xA9", "/", ":"})
        EXPECT_FALSE(IsDialableNumber(number)) << number;
}

TEST(DestinationAddressTest, TypedNumbersLoseTheirSeparatorsAndEmptyOrLongOnesAreRefused) {
    const std::vector<std::pair<std::string, std::string>> sent = {
        {"0170 123 45", "017012345"},
        {" +49 (0)170-123.45 ", "+49017012345"},
        {"(0170) 12345", "017012345"},
        {"*31#0170", "*31#0170"},
        {"+1234 5678 9012 3456 7890", "+12345678901234567890"},
    };
    for (const auto& [typed, number] : sent) {
        const NormalizedNumber normalized = NormalizeNumber(typed);
        EXPECT_TRUE(normalized.ok()) << typed;
        EXPECT_EQ(normalized.number, number) << typed;
        EXPECT_TRUE(IsDialableNumber(normalized.number)) << typed;
    }
    const std::vector<std::pair<std::string, std::string_view>> refused = {
        {"", kNumberCharactersMessage},
        {"+", kNumberCharactersMessage},
        {" - ", kNumberCharactersMessage},
        {"+()", kNumberCharactersMessage},
        {"-1", kNumberCharactersMessage},
        {"1-", kNumberCharactersMessage},
        {"+ 49", kNumberCharactersMessage},
        {"1+2", kNumberCharactersMessage},
        {"12a", kNumberCharactersMessage},
        {"12\r34", kNumberCharactersMessage},
        {"1/2", kNumberCharactersMessage},
        {"1\xC2\xA0"
         "2",
         kNumberCharactersMessage},
        {"123456789012345678901", kNumberLengthMessage},
        {"+1234 5678 9012 3456 7890 1", kNumberLengthMessage},
    };
    for (const auto& [typed, problem] : refused) {
        const NormalizedNumber normalized = NormalizeNumber(typed);
        EXPECT_EQ(normalized.problem, problem) << typed;
        EXPECT_EQ(normalized.number, "") << typed;
    }
}

TEST(NetworkCodeTest, SwapsDigitsAroundTheFiller) {
    EXPECT_EQ(EncodeNetworkCode("231", "01"), "32F110");
    EXPECT_EQ(EncodeNetworkCode("262", "02"), "62F220");
    EXPECT_EQ(EncodeNetworkCode("000", "00"), "00F000");
    EXPECT_EQ(EncodeNetworkCode("", ""), "FFFFFF");  // short codes never read past their end
}

TEST(GroupGraphicTest, PlusOneTwoThreeWithoutReportToTheCharacter) {
    CPelorinDoc doc;
    SendJob job = jobFor(SendJobKind::GroupGraphic, doc);
    job.Number = "+123";
    const auto parts = BuildSendParts(job);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].pdu, "005100039121F300F5A78A060504158300003000480E01" + std::string(252, '0'));
    EXPECT_EQ(parts[0].pdu.size(), 298u);
    EXPECT_EQ(parts[0].length, 148);
    EXPECT_EQ(parts[0].caption, "Sending SMS");
}

TEST(OperatorLogoTest, CarriesNetworkCodeHeaderAndCanvasBits) {
    CPelorinDoc doc;
    fillPattern(doc.operatorCanvas, 1);
    for (bool report : {false, true}) {
        SendJob job = jobFor(SendJobKind::OperatorLogo, doc);
        job.DeliveryReport = report;
        const auto parts = BuildSendParts(job);
        ASSERT_EQ(parts.size(), 1u);
        const SubmitPdu pdu = read(parts[0]);
        expectSoundFrame(parts[0], pdu, 0x1582);
        EXPECT_EQ(pdu.statusReportRequested(), report);
        EXPECT_EQ(pdu.addressDigits, "4917012345");
        EXPECT_EQ(pdu.typeOfAddress, 0x91);
        EXPECT_EQ(pdu.userDataLength, 140);
        ASSERT_EQ(pdu.payload.size(), 133u);
        EXPECT_EQ(std::vector<std::uint8_t>(pdu.payload.begin(), pdu.payload.begin() + 7),
                  (std::vector<std::uint8_t>{0x62, 0xF2, 0x20, 0x00, 0x48, 0x0E, 0x01}));
        EXPECT_EQ(canvasFromBits({pdu.payload.begin() + 7, pdu.payload.end()}, 72, 14), doc.operatorCanvas);
        EXPECT_EQ(parts[0].length, 5 + 148);
    }
}

TEST(RestoreOperatorLogoTest, FixedImageWhateverTheCanvases) {
    CPelorinDoc doc;
    fillPattern(doc.operatorCanvas, 2);
    SendJob job = jobFor(SendJobKind::RestoreOperatorLogo, doc);
    job.Number = "123";
    const auto parts = BuildSendParts(job);
    ASSERT_EQ(parts.size(), 1u);
    const std::string pdu = parts[0].pdu;
    EXPECT_EQ(pdu.substr(0, 14), "005100038121F3");
    EXPECT_EQ(pdu.substr(14, 36), "00F5A78C0605041582000000F00000480E01");
    EXPECT_EQ(pdu.size(), 14u + 36u + 252u);
    EXPECT_EQ(parts[0].length, 150);

    // The fixed bitmap: two lines of text in rows 0-4 and 7-11 and one comma
    // pixel in row 12; rows 5, 6 and 13 are empty.
    const SubmitPdu read_back = read(parts[0]);
    expectSoundFrame(parts[0], read_back, 0x1582);
    const Canvas image = canvasFromBits({read_back.payload.begin() + 7, read_back.payload.end()}, 72, 14);
    auto rowCount = [&](int y) {
        int n = 0;
        for (int x = 0; x < 72; ++x) n += image.isSet(x, y);
        return n;
    };
    for (int y : {0, 1, 2, 3, 4, 7, 8, 9, 10, 11}) EXPECT_GT(rowCount(y), 0) << "row " << y;
    for (int y : {5, 6, 13}) EXPECT_EQ(rowCount(y), 0) << "row " << y;
    EXPECT_EQ(rowCount(12), 1);

    // The whole message, to the character.
    EXPECT_EQ(pdu,
              "005100038121F3"
              "00F5A78C0605041582000000F00000480E01E4339B93384CEC4E4C4A2A212AA0AA8AA4AA4A33112B30ACCCE4AC4A2A092AA0"
              "A88AA4AA442BB112B848EAA44A0000000000000000000000000000000000008464647237192B9D538A8A54454422AA09548A"
              "AA64672613AB09D28AAA4445140AAA0951E44547756732938956000200000000000000000000000000000000");

    job.DeliveryReport = true;
    EXPECT_EQ(BuildSendParts(job)[0].pdu, "007100" + pdu.substr(6));
}

TEST(LargeOperatorLogoTest, SplitsOneHundredNineteenAndEightySixBytes) {
    CPelorinDoc doc;
    fillPattern(doc.largeOperatorCanvas, 3);
    SendJob job = jobFor(SendJobKind::LargeOperatorLogo, doc);
    job.Number = "+123";
    job.DeliveryReport = true;
    const auto parts = BuildSendParts(job);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].caption, "Sending SMS 1/2");
    EXPECT_EQ(parts[1].caption, "Sending SMS 2/2");
    EXPECT_EQ(parts[0].pdu.substr(0, 64), "005100039121F300F5A78C0B05041582000000030102013062F2200A004E1501");

    const SubmitPdu first = read(parts[0]);
    const SubmitPdu second = read(parts[1]);
    expectSoundFrame(parts[0], first, 0x1582);
    expectSoundFrame(parts[1], second, 0x1582);
    EXPECT_FALSE(first.statusReportRequested());
    EXPECT_TRUE(second.statusReportRequested());
    EXPECT_EQ(first.concatenation(), (std::vector<std::uint8_t>{1, 2, 1}));
    EXPECT_EQ(second.concatenation(), (std::vector<std::uint8_t>{1, 2, 2}));
    EXPECT_EQ(first.userDataLength, 0x8C);
    EXPECT_EQ(second.userDataLength, 0x62);
    EXPECT_EQ(parts[1].pdu.substr(20, 2), "62");

    // Message 1: 0x30, network code, 0x0A, OTA header, then 119 bitmap bytes.
    ASSERT_EQ(first.payload.size(), 128u);
    EXPECT_EQ(first.payload[0], 0x30);
    std::vector<std::uint8_t> bitmap(first.payload.begin() + 9, first.payload.end());
    EXPECT_EQ(bitmap.size(), 119u);
    EXPECT_EQ(second.payload.size(), 86u);
    bitmap.insert(bitmap.end(), second.payload.begin(), second.payload.end());
    EXPECT_EQ(canvasFromBits(bitmap, 78, 21), doc.largeOperatorCanvas);
    EXPECT_EQ(bitmap.back() & 0x03, 0);

    EXPECT_EQ(parts[0].length, 2 + 148);
    EXPECT_EQ(parts[1].length, 2 + 106);
}

TEST(PictureMessageTest, TextLengthMovesTheSplit) {
    struct Case {
        std::string text;
        std::size_t sent;        // characters in the text item
        std::size_t firstBytes;  // bitmap bytes in message 1
        std::size_t lastBytes;   // bitmap bytes in message 3
        std::uint8_t lastLength;
    } cases[] = {
        {"", 1, 116, 8, 0x14},
        {std::string(100, 'a'), 100, 17, 107, 0x77},
        {std::string(101, 'b'), 100, 17, 107, 0x77},
        {"Hi", 2, 115, 9, 0x15},
    };
    CPelorinDoc doc;
    fillPattern(doc.pictureCanvas, 4);
    for (const auto& c : cases) {
        SendJob job = jobFor(SendJobKind::PictureMessage, doc);
        job.Text = c.text;
        job.DeliveryReport = true;
        const auto parts = BuildSendParts(job);
        ASSERT_EQ(parts.size(), 3u);
        std::vector<SubmitPdu> pdus;
        for (std::size_t i = 0; i < 3; ++i) {
            pdus.push_back(read(parts[i]));
            expectSoundFrame(parts[i], pdus[i], 0x158A);
            EXPECT_EQ(pdus[i].concatenation(), (std::vector<std::uint8_t>{1, 3, static_cast<std::uint8_t>(i + 1)}));
            EXPECT_EQ(pdus[i].statusReportRequested(), i == 2);
            EXPECT_EQ(parts[i].caption, "Sending SMS " + std::to_string(i + 1) + "/3");
        }
        // Message 1: 0x30, text item (type 0, 16-bit length), bitmap item.
        const auto& p1 = pdus[0].payload;
        ASSERT_GE(p1.size(), 4 + c.sent + 7);
        EXPECT_EQ(p1[0], 0x30);
        EXPECT_EQ(p1[1], 0x00);
        EXPECT_EQ(p1[2] << 8 | p1[3], static_cast<int>(c.sent));
        const std::string text(p1.begin() + 4, p1.begin() + 4 + static_cast<std::ptrdiff_t>(c.sent));
        EXPECT_EQ(text, c.text.empty() ? " " : c.text.substr(0, 100));
        const std::size_t itemAt = 4 + c.sent;
        EXPECT_EQ(std::vector<std::uint8_t>(p1.begin() + static_cast<std::ptrdiff_t>(itemAt),
                                            p1.begin() + static_cast<std::ptrdiff_t>(itemAt + 7)),
                  (std::vector<std::uint8_t>{0x02, 0x01, 0x00, 0x00, 0x48, 0x1C, 0x01}));
        std::vector<std::uint8_t> bitmap(p1.begin() + static_cast<std::ptrdiff_t>(itemAt + 7), p1.end());
        EXPECT_EQ(bitmap.size(), c.firstBytes);
        EXPECT_EQ(pdus[1].payload.size(), 128u);
        EXPECT_EQ(pdus[2].payload.size(), c.lastBytes);
        EXPECT_EQ(pdus[2].userDataLength, c.lastLength);
        bitmap.insert(bitmap.end(), pdus[1].payload.begin(), pdus[1].payload.end());
        bitmap.insert(bitmap.end(), pdus[2].payload.begin(), pdus[2].payload.end());
        EXPECT_EQ(canvasFromBits(bitmap, 72, 28), doc.pictureCanvas);
        EXPECT_EQ(parts[2].length, 5 + 27 + static_cast<int>(c.sent));
    }
}

TEST(PictureMessageTest, CharactersAboveFFAreSentAsQuestionMarks) {
    CPelorinDoc doc;
    SendJob job = jobFor(SendJobKind::PictureMessage, doc);
    job.Text = "\xC3\xA9\xE2\x82\xAC!";  // e-acute, euro sign, "!"
    const SubmitPdu pdu = read(BuildSendParts(job)[0]);
    ASSERT_GE(pdu.payload.size(), 7u);
    EXPECT_EQ(pdu.payload[3], 3);
    EXPECT_EQ(pdu.payload[4], 0xE9);
    EXPECT_EQ(pdu.payload[5], 0x3F);
    EXPECT_EQ(pdu.payload[6], '!');
}

TEST(CmgsLengthTest, FollowsTheAddressLengthForEvenAndOddNumbers) {
    CPelorinDoc doc;
    for (const char* number : {"+12", "+123", "12345678901", "123456789012", ""}) {
        const int g = EncodeDestinationAddress(number).AddressOctets;
        auto lengths = [&](SendJobKind kind, const std::string& text = "") {
            SendJob job = jobFor(kind, doc);
            job.Number = number;
            job.Text = text;
            std::vector<int> out;
            for (const auto& part : BuildSendParts(job)) out.push_back(part.length);
            return out;
        };
        EXPECT_EQ(lengths(SendJobKind::OperatorLogo), (std::vector<int>{g + 148})) << number;
        EXPECT_EQ(lengths(SendJobKind::RestoreOperatorLogo), (std::vector<int>{g + 148})) << number;
        EXPECT_EQ(lengths(SendJobKind::GroupGraphic), (std::vector<int>{g + 146})) << number;
        EXPECT_EQ(lengths(SendJobKind::LargeOperatorLogo), (std::vector<int>{g + 148, g + 106})) << number;
        EXPECT_EQ(lengths(SendJobKind::PictureMessage, "abc"), (std::vector<int>{g + 148, g + 148, g + 30})) << number;
    }
}

TEST(DeliveryReportTest, ChangesOnlyTheFirstOctetOfTheLastMessage) {
    CPelorinDoc doc;
    fillPattern(doc.pictureCanvas, 5);
    fillPattern(doc.largeOperatorCanvas, 6);
    fillPattern(doc.operatorCanvas, 7);
    for (auto kind : {SendJobKind::OperatorLogo, SendJobKind::GroupGraphic, SendJobKind::RestoreOperatorLogo,
                      SendJobKind::PictureMessage, SendJobKind::LargeOperatorLogo}) {
        SendJob job = jobFor(kind, doc);
        const auto without = BuildSendParts(job);
        job.DeliveryReport = true;
        const auto with = BuildSendParts(job);
        ASSERT_EQ(without.size(), with.size());
        for (std::size_t i = 0; i < with.size(); ++i) {
            std::string expected = without[i].pdu;
            if (i + 1 == with.size()) expected.replace(2, 2, "71");
            EXPECT_EQ(with[i].pdu, expected) << static_cast<int>(kind) << " message " << i;
            EXPECT_EQ(with[i].length, without[i].length);
        }
    }
}

// What an SMS centre is given for each part is read back out of the part's
// own PDU: the user data octets, the coding, the report flag and the number.
TEST(SmscViewTest, EveryPartCarriesItsPduFields) {
    CPelorinDoc doc;
    fillPattern(doc.pictureCanvas, 1);
    fillPattern(doc.largeOperatorCanvas, 2);
    fillPattern(doc.operatorCanvas, 3);
    for (const char* number : {"+4917012345", "0170123", "*100#"}) {
        for (auto kind : {SendJobKind::OperatorLogo, SendJobKind::GroupGraphic, SendJobKind::RestoreOperatorLogo,
                          SendJobKind::PictureMessage, SendJobKind::LargeOperatorLogo}) {
            for (bool report : {false, true}) {
                SendJob job = jobFor(kind, doc);
                job.Number = number;
                job.Text = "Hi";
                job.DeliveryReport = report;
                for (const MessagePart& part : BuildSendParts(job)) {
                    const SubmitPdu pdu = read(part);
                    EXPECT_EQ(part.userData, pdu.userData) << part.pdu;
                    EXPECT_EQ(part.dataCoding, pdu.dataCoding);
                    EXPECT_EQ(part.statusReport, pdu.statusReportRequested());
                    EXPECT_EQ(part.international, pdu.typeOfAddress == 0x91);
                    std::string digits = pdu.addressDigits;
                    for (char& c : digits) c = c == 'A' ? '*' : c == 'B' ? '#' : c;
                    EXPECT_EQ(part.destinationDigits, digits);
                }
            }
        }
    }
}

// An EMS picture's text of the default alphabet goes to a centre one
// character an octet behind its header; packed as a PDU packs it, it is the
// part's own TP-UD. UCS-2 text goes as the PDU's octets.
TEST(SmscViewTest, EmsTextGoesOneCharacterAnOctetBehindItsHeader) {
    CPelorinDoc doc;
    fillPattern(doc.pictureCanvas, 4);
    for (const char* text : {"", "Hi", "Gr\u00FC\u00DF {x}", "\u20AC\u0416"}) {
        SendJob job = jobFor(SendJobKind::EmsPicture, doc);
        job.EmsCanvas = LogoKind::Picture;
        job.Text = text;
        for (const MessagePart& part : BuildSendParts(job)) {
            const SubmitPdu pdu = read(part);
            EXPECT_EQ(part.dataCoding, pdu.dataCoding) << text;
            if (pdu.dataCoding == 0x08) {
                EXPECT_EQ(part.userData, pdu.userData) << text;
                continue;
            }
            ASSERT_EQ(pdu.dataCoding, 0x00) << text;
            ASSERT_FALSE(part.userData.empty());
            const std::size_t header = part.userData[0];
            ASSERT_LT(header, part.userData.size());
            const std::vector<std::uint8_t> headerOctets(part.userData.begin() + 1,
                                                         part.userData.begin() + 1 + static_cast<long>(header));
            const std::vector<std::uint8_t> septets(part.userData.begin() + 1 + static_cast<long>(header),
                                                    part.userData.end());
            for (std::uint8_t septet : septets) EXPECT_LT(septet, 0x80) << text;
            std::size_t length = 0;
            EXPECT_EQ(testing::sevenBitUserData(headerOctets, septets, length), pdu.userData) << part.pdu;
            EXPECT_EQ(length, pdu.userDataLength) << part.pdu;
        }
    }
}

TEST(SendJobTest, WithoutDocumentSendsBlankCanvases) {
    SendJob job;
    job.Kind = SendJobKind::LargeOperatorLogo;
    job.Number = "1";
    const auto parts = BuildSendParts(job);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[1].pdu.substr(parts[1].pdu.size() - 172), std::string(172, '0'));
}

}  // namespace
}  // namespace pelorin
