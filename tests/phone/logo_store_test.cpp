#include "phone/logo_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "pdu_builder.h"
#include "phone/recipient.h"
#include "support/phone_process.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

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

// The store against planted links and other people's folders.
namespace fs = std::filesystem;

SubmitMessage groupGraphic() {
    testing::Submit submit;
    submit.header = testing::portHeader(0x1583);
    submit.payload = Octets{0x30} + testing::otaBitmap(8, 1, {0xFF});
    return decodeSubmit(submit.tpdu()).value();
}

TEST(StoreLinksTest, LinksInTheStoreAreNeverWrittenThrough) {
    pelorin::testing::TemporaryFolder outside{"pelorin-outside"};
    pelorin::testing::TemporaryFolder folder{"pelorin-store"};
    for (const char* victim : {"log-victim", "txt-victim", "plr-victim"})
        std::ofstream(outside.path() / victim) << "keep";
    // A taken number: a link where a picture would go, a link where a packed
    // bitmap would go, and a pipe in place of the log.
    fs::create_symlink(outside.path() / "txt-victim", folder.path() / "logo-0001.txt");
    fs::create_symlink(outside.path() / "plr-victim", folder.path() / "logo-0002.plr");
    fs::create_symlink(outside.path() / "log-victim", folder.path() / "log.txt");

    Recipient recipient(folder.path());
    const Reception linkedLog = recipient.receive(groupGraphic());
    EXPECT_EQ(linkedLog.storeError, (folder.path() / "log.txt").string() + ": a symbolic link");
    // Numbers 1 and 2 were taken by the links; the logo went to 3.
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder.path() / "logo-0003.txt")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder.path() / "logo-0001.plr")));
    for (const char* victim : {"log-victim", "txt-victim", "plr-victim"})
        EXPECT_EQ(pelorin::testing::readFileText(outside.path() / victim), "keep") << victim;
}

TEST(StoreLinksTest, TheProgramRefusesLinkedAndForeignFoldersAndMakesAPrivateOne) {
    pelorin::testing::TemporaryFolder folder{"pelorin-store-program"};
    fs::create_directory(folder.path() / "real");
    fs::create_symlink(folder.path() / "real", folder.path() / "link");
    const auto linked = pelorin::testing::runProcess(PELORIN_PHONE_PATH, {"--store", folder.file("link")});
    EXPECT_EQ(linked.exitStatus, 1);
    EXPECT_EQ(linked.err, "pelorin-phone: " + folder.file("link") + ": the store folder is a symbolic link\n");

    // Without --store: a new folder that only its owner may enter.
    {
        pelorin::testing::PhoneProcess phone(PELORIN_PHONE_PATH, {"--quiet"});
        ASSERT_TRUE(phone.started());
        const fs::path made = fs::directory_iterator(phone.temporaryFolder())->path();
        EXPECT_EQ(made.filename().string().rfind("pelorin-phone-", 0), 0u) << made;
        struct stat status {};
        ASSERT_EQ(::lstat(made.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode, S_IFDIR | 0700u);
    }

    // Root's folder, open to all, is not the store of an ordinary user.
    if (::geteuid() != 0) return;
    const fs::path foreign = folder.path() / "roots";
    fs::create_directory(foreign);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(foreign.c_str(), 0777), 0);
    auto command = pelorin::testing::commandAsUnprivilegedUser(PELORIN_PHONE_PATH, {"--store", foreign.string()});
    if (command.empty()) GTEST_SKIP() << "no /usr/bin/setpriv to switch to user nobody";
    const std::string program = command.front();
    command.erase(command.begin());
    const auto refused = pelorin::testing::runProcess(program, command);
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_EQ(refused.err, "pelorin-phone: " + foreign.string() + ": the store folder belongs to another user\n");
}

}  // namespace
}  // namespace pelorin::phone
