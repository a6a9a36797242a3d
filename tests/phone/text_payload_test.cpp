#include "phone/text_payload.h"

#include <gtest/gtest.h>

#include "pdu_builder.h"
#include "phone/recipient.h"

namespace pelorin::phone {
namespace {

using testing::Octets;

TEST(TextPayload, GsmDefaultAlphabetAndItsExtension) {
    // "Hi @£" then ESC e (€), ESC ( ({), ESC / (\), ß, Ä, à, a lone ESC at the end.
    const Octets septets{'H', 'i', ' ', 0x00, 0x01, 0x1B, 0x65, 0x1B, 0x28, 0x1B, 0x2F, 0x1E, 0x5B, 0x7F, 0x0A, 0x1B};
    EXPECT_EQ(gsm7ToUtf8(septets), "Hi @\u00A3\u20AC{\\\u00DF\u00C4\u00E0\n ");
    EXPECT_EQ(gsm7ToUtf8(Octets{0x24, 0x11, 0x10, 0x1B, 0x41}), "\u00A4_\u0394A")
        << "an escape before a character without an extension gives the character";
}

TEST(TextPayload, Ucs2WithSurrogatesAndBrokenUnits) {
    EXPECT_EQ(ucs2ToUtf8(Octets{0x00, 'G', 0x00, 0xFC, 0x20, 0xAC, 0xD8, 0x3D, 0xDE, 0x00}), "G\u00FC\u20AC\U0001F600");
    EXPECT_EQ(ucs2ToUtf8(Octets{0xD8, 0x3D, 0x00, 'x'}), "\uFFFDx");  // a high surrogate alone
    EXPECT_EQ(ucs2ToUtf8(Octets{0xDE, 0x00}), "\uFFFD");              // a low surrogate alone
    EXPECT_EQ(ucs2ToUtf8(Octets{0x00, 'a', 0x00}), "a\uFFFD");        // an odd last octet
}

TEST(TextPayload, TextMessagesAreLoggedWithTheirText) {
    Recipient recipient;
    // "hello" in GSM 7-bit, packed: septets 68 65 6C 6C 6F.
    testing::Submit gsm;
    gsm.firstOctet = 0x11;  // no user data header
    gsm.dataCoding = 0x00;
    gsm.payload = Octets{0xE8, 0x32, 0x9B, 0xFD, 0x06};
    auto tpdu = gsm.tpdu();
    tpdu[tpdu.size() - 6] = 5;  // the user data length counts septets
    auto decoded = decodeSubmit(tpdu);
    ASSERT_TRUE(decoded) << decoded.error();
    auto entry = recipient.receive(decoded.value()).entry;
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->kind, "text-message");
    EXPECT_EQ(entry->text, "hello");
    EXPECT_EQ(entry->error, "");

    testing::Submit ucs2;
    ucs2.firstOctet = 0x11;
    ucs2.dataCoding = 0x08;
    ucs2.payload = Octets{0x04, 0x1F, 0x04, 0x40, 0x04, 0x38};  // При
    decoded = decodeSubmit(ucs2.tpdu());
    ASSERT_TRUE(decoded) << decoded.error();
    entry = recipient.receive(decoded.value()).entry;
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->kind, "text-message");
    EXPECT_EQ(entry->text, "\u041F\u0440\u0438");

    // 8-bit data without a port stays "other".
    testing::Submit data;
    data.firstOctet = 0x11;
    data.dataCoding = 0x04;
    data.payload = Octets{1, 2, 3};
    decoded = decodeSubmit(data.tpdu());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(recipient.receive(decoded.value()).entry->kind, "other");
}

}  // namespace
}  // namespace pelorin::phone
