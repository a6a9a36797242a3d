#include "sms/ems.h"

#include <gtest/gtest.h>

#include "document/document.h"
#include "sms/encoding.h"
#include "sms/received_messages.h"
#include "support/deliver_builder.h"
#include "support/pdu_reader.h"
#include "support/septet_packing.h"

namespace pelorin {
namespace {

using Octets = std::vector<std::uint8_t>;
using testing::operator+;

Octets repeat(std::size_t count, std::uint8_t value) { return Octets(count, value); }

TEST(EmsElements, EachPictureElementToTheOctet) {
    // 16 x 16 and 32 x 32 take the fixed elements, anything else 0x12.
    EXPECT_EQ(emsPictureElement(2, 16, repeat(32, 0x5A)), (Octets{0x11, 0x21, 0x00} + repeat(32, 0x5A)));
    EXPECT_EQ(emsPictureElement(4, 32, repeat(128, 0xC3)), (Octets{0x10, 0x81, 0x00} + repeat(128, 0xC3)));
    EXPECT_EQ(emsPictureElement(2, 3, Octets{1, 2, 3, 4, 5, 6}, 7),
              (Octets{0x12, 0x09, 0x07, 0x02, 0x03, 1, 2, 3, 4, 5, 6}));
}

TEST(EmsLayout, TheOperatorCanvasGoesAsOneVariablePictureWithItsText) {
    Canvas canvas(72, 14);
    canvas.set(0, 0, true);
    canvas.set(71, 13, true);
    const EmsMessages messages = layOutEmsPicture(canvas, "Hi", 0x42);
    ASSERT_EQ(messages.parts.size(), 1u);
    EXPECT_FALSE(messages.ucs2);
    Octets rows = repeat(126, 0);
    rows.front() = 0x80;
    rows.back() = 0x01;
    EXPECT_EQ(messages.parts[0].header, (Octets{0x12, 0x81, 0x00, 0x09, 0x0E} + rows));
    EXPECT_EQ(messages.parts[0].text, (Octets{0x48, 0x69}));
}

TEST(EmsLayout, LargerCanvasesGoAsStripsUnderOnePromptAndReference) {
    // 72 x 28: strips of 4, 4 and 1 octets; 78 x 21: 6 and 4, the last two
    // columns blank.
    struct Row {
        int width, height;
        std::vector<unsigned> strips;
    };
    for (const Row& row : {Row{72, 28, {4, 4, 1}}, Row{78, 21, {6, 4}}}) {
        Canvas canvas(row.width, row.height);
        canvas.set(row.width - 1, 0, true);
        canvas.set(32, row.height - 1, true);
        const EmsMessages messages = layOutEmsPicture(canvas, "", 0x99);
        ASSERT_EQ(messages.parts.size(), row.strips.size()) << row.width;
        unsigned left = 0;
        for (std::size_t i = 0; i < row.strips.size(); ++i) {
            const auto total = static_cast<std::uint8_t>(row.strips.size());
            Octets head{0x00, 0x03, 0x99, total, static_cast<std::uint8_t>(i + 1)};
            if (i == 0) head = head + Octets{0x13, 0x01, total};
            const unsigned w = row.strips[i];
            const auto h = static_cast<unsigned>(row.height);
            Octets rows = repeat(w * h, 0);
            for (unsigned y = 0; y < h; ++y) {
                for (unsigned x = left * 8; x < (left + w) * 8; ++x) {
                    if (x < static_cast<unsigned>(row.width) && canvas.isSet(static_cast<int>(x), static_cast<int>(y)))
                        rows[y * w + x / 8 - left] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
                }
            }
            head = head +
                   Octets{0x12, static_cast<std::uint8_t>(3 + w * h), 0x00, static_cast<std::uint8_t>(w),
                          static_cast<std::uint8_t>(h)} +
                   rows;
            EXPECT_EQ(messages.parts[i].header, head) << row.width << " part " << i + 1;
            EXPECT_TRUE(messages.parts[i].text.empty());
            left += w;
        }
    }
}

TEST(EmsLayout, TextNeedingUcs2OrMoreRoomGoesBehindTheLastStrip) {
    Canvas canvas(72, 14);
    // 10 octets do not fit behind 132; the strip's part takes what it can.
    const EmsMessages unicode = layOutEmsPicture(canvas, "\u20AC\u0416\u20AC\u0416\u20AC", 1);
    ASSERT_EQ(unicode.parts.size(), 2u);
    EXPECT_TRUE(unicode.ucs2);
    EXPECT_EQ(unicode.parts[0].text, (Octets{0x20, 0xAC}));
    EXPECT_EQ(unicode.parts[1].header, (Octets{0x00, 0x03, 0x01, 0x02, 0x02}));
    EXPECT_EQ(unicode.parts[1].text, (Octets{0x04, 0x16, 0x20, 0xAC, 0x04, 0x16, 0x20, 0xAC}));

    // 100 characters kept of 130; "{" takes two septets and is never split.
    std::string text(130, '{');
    const EmsMessages cut = layOutEmsPicture(canvas, text, 1);
    std::size_t septets = 0;
    for (const auto& part : cut.parts) {
        EXPECT_EQ(part.text.size() % 2, 0u);
        septets += part.text.size();
    }
    EXPECT_EQ(septets, 200u);
}

TEST(EmsUserData, SevenBitTextStartsOnTheSeptetAfterHeadersOfEveryLength) {
    // "AB" behind headers of 3 to 9 octets (an unknown element as filler):
    // the fill bits are 7 - (header octets + 1) * 8 mod 7.
    struct Row {
        std::size_t header;
        unsigned length;
        Octets expected;
    };
    const std::vector<Row> rows = {
        {3, 7, {0x03, 0x70, 0x01, 0xAA, 0x08, 0x0A, 0x01}},
        {4, 8, {0x04, 0x70, 0x02, 0xAA, 0xAA, 0x04, 0x85}},
        {5, 9, {0x05, 0x70, 0x03, 0xAA, 0xAA, 0xAA, 0x82, 0x42}},
        {6, 10, {0x06, 0x70, 0x04, 0xAA, 0xAA, 0xAA, 0xAA, 0x41, 0x21}},
        {7, 12, {0x07, 0x70, 0x05, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0x40, 0x50, 0x08}},
        {8, 13, {0x08, 0x70, 0x06, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0x20, 0x28, 0x04}},
        {9, 14, {0x09, 0x70, 0x07, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0x10, 0x14, 0x02}},
    };
    for (const Row& row : rows) {
        EmsUserData part;
        part.header = Octets{0x70, static_cast<std::uint8_t>(row.header - 2)} + repeat(row.header - 2, 0xAA);
        part.text = {0x41, 0x42};
        unsigned length = 0;
        EXPECT_EQ(packEmsUserData(part, false, length), row.expected) << row.header;
        EXPECT_EQ(length, row.length) << row.header;
    }
}

TEST(EmsSend, TheJobGoesAsSubmitsWithTheTextsCoding) {
    CPelorinDoc document;
    SendJob job;
    job.Kind = SendJobKind::EmsPicture;
    job.EmsCanvas = LogoKind::LargeOperator;
    job.Number = "+4917";
    job.Text = "\u00C5ngstr\u00F6m";
    job.DeliveryReport = true;
    job.Document = &document;
    const auto parts = BuildSendParts(job);
    ASSERT_EQ(parts.size(), 2u);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string why;
        const auto pdu = testing::readSubmitPdu(parts[i].pdu, &why);
        ASSERT_TRUE(pdu) << why;
        EXPECT_EQ(pdu->dataCoding, 0x00);
        EXPECT_EQ(pdu->statusReportRequested(), i == 1);
        EXPECT_EQ(pdu->octetsAfterServiceCentre, static_cast<std::size_t>(parts[i].length));
        EXPECT_EQ(parts[i].caption, "Sending SMS " + std::to_string(i + 1) + "/2");
    }
}

std::vector<std::span<const std::uint8_t>> spans(const std::vector<Octets>& headers) {
    return {headers.begin(), headers.end()};
}

TEST(EmsDecode, EachElementAndStripsSideBySide) {
    const std::vector<Octets> small{Octets{0x11, 0x21, 0x00, 0x80} + repeat(31, 0)};
    auto read = decodeEmsPictures(spans(small));
    ASSERT_TRUE(read.reading) << read.why;
    EXPECT_EQ(read.reading->width, 16u);
    EXPECT_EQ(read.reading->height, 16u);
    EXPECT_TRUE(read.reading->pixel(0, 0));
    EXPECT_FALSE(read.reading->pixel(1, 0));

    const std::vector<Octets> large{Octets{0x10, 0x81, 0x05} + repeat(127, 0) + Octets{0x01}};
    read = decodeEmsPictures(spans(large));
    ASSERT_TRUE(read.reading) << read.why;
    EXPECT_EQ(read.reading->width, 32u);
    EXPECT_TRUE(read.reading->pixel(31, 31));

    // Two parts: concatenation, prompt for 2, a 1 x 2 strip; then a 2 x 2 strip.
    const std::vector<Octets> strips{
        {0x00, 0x03, 0x07, 0x02, 0x01, 0x13, 0x01, 0x02, 0x12, 0x05, 0x00, 0x01, 0x02, 0x81, 0x42},
        {0x00, 0x03, 0x07, 0x02, 0x02, 0x12, 0x07, 0x00, 0x02, 0x02, 0xF0, 0x0F, 0x00, 0x01},
    };
    read = decodeEmsPictures(spans(strips));
    ASSERT_TRUE(read.reading) << read.why;
    EXPECT_EQ(read.reading->width, 24u);
    EXPECT_EQ(read.reading->rows, (Octets{0x81, 0xF0, 0x0F, 0x42, 0x00, 0x01}));
    EXPECT_EQ(read.reading->note, "");
}

TEST(EmsDecode, LyingLengthsAndMissingStripsAreRefused) {
    const std::vector<std::pair<std::vector<Octets>, std::string>> rows = {
        {{{0x12, 0x08, 0x00, 0x02, 0x03, 1, 2, 3, 4, 5}}, "element 12 says 2 octets by 3 rows, but 5 octets follow"},
        {{{0x12, 0x02, 0x00, 0x01}}, "element 12 is 2 octets long, too short"},
        {{{0x12, 0x04, 0x00, 0x00, 0x05, 0x00}}, "element 12 says 0 octets by 5 rows, but 1 octets follow"},
        {{{0x11, 0x20, 0x00}}, "an information element runs past the header of part 1"},
        {{{0x11, 0x02, 0x00, 0x00}}, "element 11 is 2 octets long, not 33"},
        {{{0x13, 0x02, 0x02, 0x00, 0x12, 0x04, 0x00, 0x01, 0x01, 0xFF}}, "element 13 is 2 octets long, not 1"},
        {{{0x13, 0x01, 0x03, 0x12, 0x04, 0x00, 0x01, 0x01, 0xFF}, {0x12, 0x04, 0x00, 0x01, 0x01, 0xFF}},
         "the prompt indicator announces 3 strips, 2 follow"},
        {{{0x13, 0x01, 0x02, 0x12, 0x04, 0x00, 0x01, 0x01, 0xFF}, {0x12, 0x05, 0x00, 0x01, 0x02, 0xFF, 0xFF}},
         "strips of 1 and 2 rows cannot stand side by side"},
    };
    for (const auto& [headers, why] : rows) {
        const auto read = decodeEmsPictures(spans(headers));
        EXPECT_FALSE(read.reading);
        EXPECT_EQ(read.why, why);
    }
    // No picture element at all: not an EMS picture.
    const std::vector<Octets> none{{0x00, 0x03, 0x01, 0x02, 0x01}};
    EXPECT_FALSE(decodeEmsPictures(spans(none)).reading);
    EXPECT_EQ(decodeEmsPictures(spans(none)).why, "");
}

// An SMS-DELIVER with a header and GSM 7-bit text behind it.
std::string sevenBitDeliver(const Octets& header, const Octets& septets) {
    std::size_t length = 0;
    const Octets userData = testing::sevenBitUserData(header, septets, length);
    return testing::deliverHex(Octets{0x00, 0x44, 0x07, 0x91, 0x94, 0x21, 0x43, 0xF5, 0x00, 0x00, 0x62, 0x21, 0x70,
                                      0x71, 0x54, 0x00, 0x40, static_cast<std::uint8_t>(length)} +
                               userData);
}

TEST(EmsReceive, StripsInAnyOrderComeBackOnTheNearestCanvas) {
    Canvas canvas(78, 21);
    for (int x = 0; x < 78; ++x)
        for (int y = 0; y < 21; ++y) canvas.set(x, y, (x * 5 + y * 3) % 7 < 2);
    const EmsMessages messages = layOutEmsPicture(canvas, "Hi", 0x21);
    ASSERT_EQ(messages.parts.size(), 2u);
    std::vector<StoredPdu> listed;
    for (std::size_t i = messages.parts.size(); i-- > 0;)
        listed.push_back({"SM", static_cast<unsigned>(10 + i), 1,
                          sevenBitDeliver(messages.parts[i].header, messages.parts[i].text)});
    const auto items = collectReceived(listed);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].kind, ReceivedKind::EmsPicture);
    EXPECT_EQ(items[0].indices, (std::vector<unsigned>{10, 11}));
    EXPECT_EQ(items[0].text, "Hi");
    EXPECT_EQ(items[0].reason, "sent as 80x21");  // the padding is blank: nothing cut
    ASSERT_TRUE(receivedCanvas(items[0]));
    EXPECT_EQ(*receivedCanvas(items[0]), canvas);

    // A missing strip leaves the message unread; a set pixel beyond the
    // canvas is cut and counted.
    listed.pop_back();
    EXPECT_EQ(collectReceived(listed).at(0).kind, ReceivedKind::Skipped);
    const Octets wide = Octets{0x12, 0x0D, 0x00, 0x0A, 0x01} + repeat(9, 0) + Octets{0x03};
    const auto cut = collectReceived({{"SM", 1, 1, sevenBitDeliver(wide, {})}});
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].kind, ReceivedKind::EmsPicture);
    EXPECT_EQ(cut[0].canvas, LogoKind::LargeOperator);
    EXPECT_EQ(cut[0].reason, "sent as 80x1, 2 set pixels outside the canvas cut");
}

TEST(EmsReceive, NearestCanvasHoldsThePictureWholeOrKeepsMostOfIt) {
    EXPECT_EQ(nearestEmsCanvas(16, 16), LogoKind::LargeOperator);
    EXPECT_EQ(nearestEmsCanvas(72, 14), LogoKind::Operator);
    EXPECT_EQ(nearestEmsCanvas(32, 32), LogoKind::Picture);
    EXPECT_EQ(nearestEmsCanvas(80, 21), LogoKind::LargeOperator);
    EXPECT_EQ(nearestEmsCanvas(200, 8), LogoKind::LargeOperator);
    EXPECT_EQ(nearestEmsCanvas(8, 8), LogoKind::Operator);
}

}  // namespace
}  // namespace pelorin
