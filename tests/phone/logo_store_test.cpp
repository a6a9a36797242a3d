#include "phone/logo_store.h"

#include <gtest/gtest.h>

#include <fstream>

#include "pdu_builder.h"
#include "phone/recipient.h"
#include "support/temp_folder.h"

namespace pelorin::phone {
namespace {

using testing::Octets;
using testing::operator+;

TEST(LogStore, FormatsEveryKeyInOrderAndEscapesValues) {
    LogEntry entry;
    entry.file = "logo-0003";
    entry.kind = "picture-message";
    entry.size = "72x28";
    entry.number = "+123";
    entry.text =
        "a\tb\\c\nd\re\x01"
        "f\xC3\xBC";
    entry.report = true;
    entry.reportParts = "001";
    entry.parts = 3;
    entry.port = "158A";
    EXPECT_EQ(formatLogLine(entry),
              "file=logo-0003\tkind=picture-message\tsize=72x28\tnumber=+123\tmcc=\tmnc=\t"
              "text=a\\tb\\\\c\\nd\\re\\x01f\xC3\xBC\treport=1\treport-parts=001\tparts=3\tport=158A\terror=");
}

TEST(LogStore, DrawsTheTextPictureRowByRow) {
    OtaBitmap bitmap{3, 2, {0b10101100}};
    EXPECT_EQ(textPicture(bitmap), "#.#\n.##\n");
}

TEST(Recipient, StoresAGroupGraphicAsFilesAndALogLine) {
    pelorin::testing::TemporaryFolder folder;
    // A file left by an earlier run keeps its number.
    std::ofstream(folder.path() / "logo-0001.plr") << "old";
    Recipient recipient(folder.path());

    const Octets bits = testing::packBits(72, 14, [](unsigned x, unsigned y) { return y == 0 && x < 3; });
    testing::Submit submit;
    submit.firstOctet = 0x71;
    submit.header = testing::portHeader(0x1583);
    submit.payload = Octets{0x30} + testing::otaBitmap(72, 14, bits);
    const auto message = decodeSubmit(submit.tpdu());
    ASSERT_TRUE(message) << message.error();

    const Reception reception = recipient.receive(message.value());
    EXPECT_EQ(reception.storeError, "");
    ASSERT_TRUE(reception.entry);
    EXPECT_EQ(reception.entry->file, "logo-0002");
    EXPECT_EQ(pelorin::testing::readFileText(folder.path() / "logo-0001.plr"), "old");
    const std::string plr = pelorin::testing::readFileText(folder.path() / "logo-0002.plr");
    EXPECT_EQ(plr, std::string(bits.begin(), bits.end()));
    EXPECT_EQ(plr.size(), 126u);
    const std::string picture = pelorin::testing::readFileText(folder.path() / "logo-0002.txt");
    EXPECT_EQ(picture.substr(0, 73), "###" + std::string(69, '.') + "\n");
    EXPECT_EQ(picture.size(), 73u * 14u);
    EXPECT_EQ(pelorin::testing::readFileText(folder.path() / "log.txt"),
              "file=logo-0002\tkind=group-graphic\tsize=72x14\tnumber=+123\tmcc=\tmnc=\ttext=\treport=1\t"
              "report-parts=1\tparts=1\tport=1583\terror=\n");
}

TEST(Recipient, LogsWhatItCannotReadAndStoresNothingForIt) {
    pelorin::testing::TemporaryFolder folder;
    Recipient recipient(folder.path());
    testing::Submit broken;
    broken.header = testing::portHeader(0x1582);
    broken.payload = Octets{0x62, 0xF2, 0x20, 0x00, 72, 14, 0x01, 0xFF};  // bitmap far too short
    testing::Submit plain;
    plain.firstOctet = 0x11;
    plain.dataCoding = 0x04;
    plain.payload = {'h', 'i'};
    testing::Submit badSequence;
    badSequence.header = testing::portHeader(0x1583) + testing::concatenationHeader(1, 2, 3);

    for (const auto& submit : {broken, plain, badSequence}) {
        const auto message = decodeSubmit(submit.tpdu());
        ASSERT_TRUE(message) << message.error();
        EXPECT_EQ(recipient.receive(message.value()).storeError, "");
    }
    ASSERT_EQ(recipient.entries().size(), 3u);
    EXPECT_EQ(recipient.entries()[0].kind, "invalid");
    EXPECT_NE(recipient.entries()[0].error, "");
    EXPECT_EQ(recipient.entries()[1].kind, "other");
    EXPECT_EQ(recipient.entries()[2].kind, "invalid");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "logo-0001.plr"));
    const std::string log = pelorin::testing::readFileText(folder.path() / "log.txt");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
}

TEST(Recipient, ReportsAFolderItCannotWrite) {
    Recipient recipient(std::filesystem::path("/nonexistent/pelorin/folder"));
    testing::Submit submit;
    submit.header = testing::portHeader(0x1583);
    submit.payload = Octets{0x30} + testing::otaBitmap(8, 1, {0xFF});
    const auto message = decodeSubmit(submit.tpdu());
    ASSERT_TRUE(message);
    EXPECT_NE(recipient.receive(message.value()).storeError, "");
}

}  // namespace
}  // namespace pelorin::phone
