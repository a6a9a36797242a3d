// The phone's own ringtone reader against octets written by hand, and the
// store's ringtone files.

#include "phone/ringtone_payload.h"

#include <gtest/gtest.h>

#include "phone/logo_store.h"
#include "phone/recipient.h"
#include "support/temp_folder.h"

namespace pelorin::phone {
namespace {

using Octets = std::vector<std::uint8_t>;

// abcd:d=4,o=5,b=125:8c6,8e6,g6,p,16a#4.,2c7,32b (scale, style, tempo first)
const Octets kAbcd = {0x02, 0x4A, 0x3A, 0x51, 0x85, 0x89, 0x8D, 0x90, 0x04, 0x0A, 0x1A, 0xA6, 0x47, 0x11,
                      0x61, 0x56, 0x18, 0x41, 0x04, 0x20, 0xDC, 0x16, 0x44, 0x89, 0x39, 0x40, 0x00};

CompletedMessage toPort(std::uint16_t port, Octets payload) {
    CompletedMessage message;
    message.destinationPort = port;
    message.payload = std::move(payload);
    message.reportRequested = {false, false};
    return message;
}

TEST(RingtonePayload, ReadsHandWrittenOctetsAsRtttl) {
    const auto tone = interpretRingtone(toPort(0x1581, kAbcd));
    ASSERT_TRUE(tone) << tone.error();
    EXPECT_EQ(tone->name, "abcd");
    EXPECT_EQ(tone->tempo, 125u);
    EXPECT_EQ(tone->notes, 7u);
    EXPECT_EQ(tone->rtttl, "abcd:d=4,o=5,b=125,l=5:8c6,8e6,4g6,4p,16a#4,2c7,32b5");
    // Staccato, looping for ever, 900 beats, a volume, two scale instructions.
    const auto fast = readRingtoneBits(
        Octets{0x02, 0x4A, 0x3A, 0x45, 0xE0, 0x04, 0x1E, 0x0E, 0xE9, 0xFA, 0x6A, 0x22, 0xC5, 0x11, 0x60, 0x00});
    ASSERT_TRUE(fast) << fast.error();
    EXPECT_EQ(fast->rtttl, "x:d=4,o=5,b=900,l=15,s=s:8c6,8c6");

    EXPECT_FALSE(interpretRingtone(toPort(0x1582, kAbcd)));
    for (std::size_t size = 0; size + 2 < kAbcd.size(); ++size) {
        const auto cut = readRingtoneBits(std::span(kAbcd).first(size));
        EXPECT_FALSE(cut) << size;
    }
    Octets badNote = kAbcd;
    badNote[15] = 0xFF;
    EXPECT_FALSE(readRingtoneBits(badNote));
}

TEST(RingtonePayload, TheRecipientStoresEachRingtoneAsANewFile) {
    pelorin::testing::TemporaryFolder folder{"pelorin-ringtone-store"};
    pelorin::testing::writeFileBytes(folder.file("ringtone-0001.rtttl"), Octets{'x'});
    Recipient recipient(folder.path());
    SubmitMessage part;
    part.number = "+49";
    part.destinationPort = 0x1581;
    part.payload = kAbcd;
    const auto first = recipient.receive(part);
    ASSERT_TRUE(first.entry);
    EXPECT_EQ(first.storeError, "");
    EXPECT_EQ(first.entry->kind, "ringtone");
    EXPECT_EQ(first.entry->file, "ringtone-0002");
    EXPECT_EQ(pelorin::testing::readFileText(folder.path() / "ringtone-0002.rtttl"),
              "abcd:d=4,o=5,b=125,l=5:8c6,8e6,4g6,4p,16a#4,2c7,32b5\n");
    EXPECT_EQ(pelorin::testing::readFileText(folder.path() / "ringtone-0001.rtttl"), "x");
    part.payload.resize(10);
    const auto broken = recipient.receive(part);
    ASSERT_TRUE(broken.entry);
    EXPECT_EQ(broken.entry->kind, "invalid");
    EXPECT_EQ(broken.entry->error, "ringtone: a pattern header is cut short");
    EXPECT_EQ(broken.entry->file, "");
}

}  // namespace
}  // namespace pelorin::phone
