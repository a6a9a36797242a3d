// pelorin-cli receive against pelorin-phone holding an inbox loaded from a
// file of hand-made SMS-DELIVER PDUs.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "support/answering_pty.h"
#include "support/deliver_builder.h"
#include "support/phone_process.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

namespace pelorin {
namespace {

using namespace pelorin::testing;

// Index 1, 3, 5: a picture message in three parts, listed out of order;
// 2: an operator logo; 4: a text; 6: a PDU whose user data length lies;
// 7: the first of two parts whose second never came; 8: a caller-group
// graphic with an 8-bit port and no version octet; 9: one of 16 x 16.
std::string inboxFile() {
    const auto picture = deliverParts(
        0x158A, DeliverOctets{0x30, 0x00, 0x00, 0x05, 'H', 'e', 'l', 'l', 'o', 0x02, 0x01, 0x00} + ota(72, 28, 0x5A),
        4);
    Deliver lying{port16(0x1583), ota(72, 14, 0)};
    lying.lengthError = 1;
    const std::vector<std::string> lines = {
        picture.at(2),
        Deliver{port16(0x1582), DeliverOctets{0x62, 0xF2, 0x20} + ota(72, 14, 0x81)}.hex(),
        picture.at(0),
        Deliver{{}, {'H', 'i', 0x0A, 'y', 'o', 'u'}, 0x00}.hex(),
        picture.at(1),
        lying.hex(),
        deliverParts(0x1582, DeliverOctets{0x30, 0x62, 0xF2, 0x70, 0x0A} + ota(78, 21, 0x0F), 9).at(0),
        Deliver{port8(0x83), ota(72, 14, 0x3C)}.hex(),
        Deliver{port16(0x1583), ota(16, 16, 0xFF)}.hex(),
    };
    std::string text = "# a test inbox\n";
    for (const auto& line : lines) text += line + "\n";
    return text;
}

const std::string kFrom = "\t+4912345\t2026-12-07 17:45:00 +01:00\t";
const std::string kPicture = "SM:3,5,1" + kFrom + "picture-message\t72x28 Hello";
const std::string kOperator = "SM:2" + kFrom + "operator-logo\t72x14 262-02";
const std::string kText = "SM:4" + kFrom + "text\tHi\\nyou\n";
const std::string kLying = "SM:6" + kFrom + "skipped\tthe user data length says 138 octets but 137 follow\n";
const std::string kMissing = "SM:7" + kFrom + "skipped\tpart 2 of 2 missing\n";
const std::string kGroup = "SM:8" + kFrom + "group-graphic\t72x14";
const std::string kSmall = "SM:9" + kFrom + "group-graphic\t16x16";

class ReceiveCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(phone.started()); }
    ProcessResult receive(std::vector<std::string> extra) {
        std::vector<std::string> args{"receive", "--port", phone.devicePath()};
        args.insert(args.end(), extra.begin(), extra.end());
        return runProcess(PELORIN_CLI_PATH, args);
    }

    static std::string writeInbox(const TemporaryFolder& folder) {
        std::ofstream(folder.file("inbox.txt")) << inboxFile();
        return folder.file("inbox.txt");
    }

    TemporaryFolder folder{"pelorin-receive"};
    PhoneProcess phone{PELORIN_PHONE_PATH, {"--quiet", "--inbox", writeInbox(folder)}};
};

TEST_F(ReceiveCommandTest, ListsEveryMessageWithFixedWaitsAndFast) {
    const std::string listing =
        kPicture + "\n" + kOperator + "\n" + kText + kLying + kMissing + kGroup + "\n" + kSmall + "\n";
    for (const bool fast : {true, false}) {
        const auto result = receive(fast ? std::vector<std::string>{"--fast"} : std::vector<std::string>{});
        EXPECT_EQ(result.out, listing) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.exitStatus, 0);
    }
}

TEST_F(ReceiveCommandTest, WritesEachLogoAndDeletesOnlyWhatWasWritten) {
    const std::string out = folder.file("logos");
    auto result = receive({"--fast", "--out", out, "--delete"});
    EXPECT_EQ(result.out, kPicture + "\t" + out + "/SM-3-picture-message.plr\n" + kOperator + "\t" + out +
                              "/SM-2-operator-logo.plr\n" + kText + kLying + kMissing + kGroup + "\t" + out +
                              "/SM-8-group-graphic.plr\n" + kSmall +
                              "\tnot written: 16x16 is not a size Pelorin edits\n")
        << result.err;
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(readFileBytes(out + "/SM-3-picture-message.plr"), DeliverOctets(252, 0x5A));
    EXPECT_EQ(readFileText(out + "/SM-3-picture-message.txt"), "Hello\n");
    EXPECT_EQ(readFileBytes(out + "/SM-2-operator-logo.plr"), DeliverOctets(126, 0x81));
    EXPECT_EQ(readFileBytes(out + "/SM-8-group-graphic.plr"), DeliverOctets(126, 0x3C));

    // The phone keeps what was not written; a second run never overwrites.
    result = receive({"--fast"});
    EXPECT_EQ(result.out, kText + kLying + kMissing + kSmall + "\n");
    PhoneProcess again{PELORIN_PHONE_PATH, {"--quiet", "--inbox", writeInbox(folder)}};
    result = runProcess(PELORIN_CLI_PATH, {"receive", "--port", again.devicePath(), "--fast", "--out", out});
    EXPECT_NE(result.out.find(out + "/SM-2-operator-logo-2.plr\n"), std::string::npos) << result.out;
    EXPECT_EQ(readFileBytes(out + "/SM-2-operator-logo.plr"), DeliverOctets(126, 0x81));
}

TEST_F(ReceiveCommandTest, AFolderThatCannotBeWrittenLeavesThePhoneAsItWas) {
    const std::filesystem::path out = folder.path() / "locked";
    std::filesystem::create_directory(out);
    ::chmod(folder.path().c_str(), 0755);
    ::chmod(out.c_str(), 0555);
    ASSERT_TRUE(giveToUnprivilegedUser(phone.devicePath()));
    const auto command = commandAsUnprivilegedUser(
        PELORIN_CLI_PATH, {"receive", "--port", phone.devicePath(), "--fast", "--out", out.string(), "--delete"});
    ASSERT_FALSE(command.empty()) << "setpriv is missing";
    auto result = runProcess(command[0], std::vector<std::string>(command.begin() + 1, command.end()));
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("SM:2: cannot write " + out.string() + "/SM-2-operator-logo.plr"), std::string::npos)
        << result.err;
    EXPECT_TRUE(std::filesystem::is_empty(out));

    result = receive({"--fast"});
    EXPECT_EQ(result.out,
              kPicture + "\n" + kOperator + "\n" + kText + kLying + kMissing + kGroup + "\n" + kSmall + "\n");
}

TEST_F(ReceiveCommandTest, ALogoThatCannotBeWrittenLeavesNoTextBesideItAndStaysOnThePhone) {
    const std::string out = folder.file("logos");
    // Files of at most 100 bytes: a picture message's text fits, no logo does.
    auto result = runProcess("/bin/sh", {"-c", "trap '' XFSZ; exec prlimit --fsize=100 \"$0\" \"$@\"", PELORIN_CLI_PATH,
                                         "receive", "--port", phone.devicePath(), "--fast", "--out", out, "--delete"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("SM:3,5,1: cannot write " + out + "/SM-3-picture-message.plr: File too large"),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(std::filesystem::is_empty(out));
    result = receive({"--fast"});
    EXPECT_EQ(result.out,
              kPicture + "\n" + kOperator + "\n" + kText + kLying + kMissing + kGroup + "\n" + kSmall + "\n");
}

// In a folder open to everyone, links to files of the receiving user named
// like the files receive writes: the names are taken, nothing is written
// through them, the logos go under the next names and are deleted from the
// phone. Planted by nobody for root, and by root for nobody.
TEST(ReceiveIntoASharedFolder, NeverWritesThroughALinkAnotherUserPlanted) {
    for (const bool rootReceives : {true, false}) {
        SCOPED_TRACE(rootReceives ? "root receives" : "nobody receives");
        TemporaryFolder folder{"pelorin-shared"};
        ::chmod(folder.path().c_str(), 0755);
        const std::filesystem::path shared = folder.path() / "shared";
        const std::filesystem::path home = folder.path() / "home";  // the receiver's own
        std::filesystem::create_directory(shared);
        std::filesystem::create_directory(home);
        ::chmod(shared.c_str(), 01777);
        ::chmod(home.c_str(), 0700);
        if (!rootReceives) {
            ASSERT_TRUE(giveToUnprivilegedUser(home));
        }
        std::ofstream(folder.file("inbox.txt")) << inboxFile();
        PhoneProcess phone{PELORIN_PHONE_PATH, {"--quiet", "--inbox", folder.file("inbox.txt")}};
        ASSERT_TRUE(phone.started());

        const std::vector<std::pair<std::string, std::filesystem::path>> links = {
            {"SM-3-picture-message.txt", home / "authorized_keys"}, {"SM-2-operator-logo.plr", home / "crontab"}};
        const auto plant = [&] {
            std::string failures;
            for (const auto& [name, target] : links)
                if (::symlink(target.c_str(), (shared / name).c_str()) != 0) failures += "cannot plant " + name + "\n";
            return failures;
        };
        std::vector<std::string> args{"receive", "--port",        phone.devicePath(), "--fast",
                                      "--out",   shared.string(), "--delete"};
        std::vector<std::string> command{PELORIN_CLI_PATH};
        if (rootReceives) {
            const UnprivilegedRun planted = runUnprivileged(plant);
            ASSERT_TRUE(planted.ran) << planted.skipReason;
            ASSERT_EQ(planted.failures, "");
            command.insert(command.end(), args.begin(), args.end());
        } else {
            ASSERT_EQ(plant(), "");
            ASSERT_TRUE(giveToUnprivilegedUser(phone.devicePath()));
            command = commandAsUnprivilegedUser(PELORIN_CLI_PATH, args);
            ASSERT_FALSE(command.empty()) << "setpriv is missing";
        }
        const auto result = runProcess(command[0], std::vector<std::string>(command.begin() + 1, command.end()));
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_NE(result.out.find(shared.string() + "/SM-2-operator-logo-2.plr\n"), std::string::npos) << result.out;
        EXPECT_TRUE(std::filesystem::is_empty(home));
        for (const auto& [name, target] : links) EXPECT_EQ(std::filesystem::read_symlink(shared / name), target);
        EXPECT_EQ(readFileText(shared / "SM-3-picture-message-2.txt"), "Hello\n");
        EXPECT_EQ(readFileBytes(shared / "SM-3-picture-message-2.plr"), DeliverOctets(252, 0x5A));
        EXPECT_EQ(readFileBytes(shared / "SM-2-operator-logo-2.plr"), DeliverOctets(126, 0x81));
        EXPECT_EQ(readFileBytes(shared / "SM-8-group-graphic.plr"), DeliverOctets(126, 0x3C));
        EXPECT_EQ(runProcess(PELORIN_CLI_PATH, {"receive", "--port", phone.devicePath(), "--fast"}).out,
                  kText + kLying + kMissing + kSmall + "\n");
    }
}

// From one sender under reference 5 of 3 parts: parts 1 and 2 of one
// picture message and parts 2 and 3 of another; then reference 7 of a
// two-part logo once in the 8-bit and once in the 16-bit element. Nothing
// is put together, written or deleted.
TEST(ReceiveCommand, MessagesSharingAReferenceAreNeitherJoinedNorDeleted) {
    const auto picture = [](std::uint8_t fill) {
        return deliverParts(0x158A, DeliverOctets{0x30, 0x00, 0x00, 0x01, 'A', 0x02, 0x01, 0x00} + ota(72, 28, fill),
                            5);
    };
    const DeliverOctets logo = DeliverOctets{0x30, 0x62, 0xF2, 0x70, 0x0A} + ota(78, 21, 0x0F);
    const DeliverOctets top(logo.begin(), logo.begin() + 120);
    const DeliverOctets bottom(logo.begin() + 120, logo.end());
    const std::vector<std::string> lines = {
        picture(0x11).at(0),
        picture(0x11).at(1),
        picture(0x22).at(1),
        picture(0x22).at(2),
        Deliver{port16(0x1582) + concatenation8(7, 2, 1), top}.hex(),
        Deliver{port16(0x1582) + DeliverOctets{0x08, 0x04, 0x00, 0x07, 2, 2}, bottom}.hex(),
    };
    TemporaryFolder folder{"pelorin-receive"};
    std::ofstream inbox(folder.file("inbox.txt"));
    for (const auto& line : lines) inbox << line << "\n";
    inbox.close();
    PhoneProcess phone{PELORIN_PHONE_PATH, {"--quiet", "--inbox", folder.file("inbox.txt")}};
    ASSERT_TRUE(phone.started());
    const std::string listing = "SM:1,2,3,4" + kFrom +
                                "skipped\tpart 2 of 3 appears more than once: reference 5 holds more than one message\n"
                                "SM:5" +
                                kFrom + "skipped\tpart 2 of 2 missing\nSM:6" + kFrom + "skipped\tpart 1 of 2 missing\n";
    const std::string out = folder.file("logos");
    auto result =
        runProcess(PELORIN_CLI_PATH, {"receive", "--port", phone.devicePath(), "--fast", "--out", out, "--delete"});
    EXPECT_EQ(result.out, listing) << result.err;
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_TRUE(std::filesystem::is_empty(out));
    result = runProcess(PELORIN_CLI_PATH, {"receive", "--port", phone.devicePath(), "--fast"});
    EXPECT_EQ(result.out, listing);
}

TEST(ReceiveCommand, SaysWhyAPhoneCannotBeReadAndRefusesBadArguments) {
    AnsweringPty refusing("\r\nERROR\r\n");
    auto result = runProcess(PELORIN_CLI_PATH, {"receive", "--port", refusing.devicePath(), "--fast"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "pelorin-cli receive: The phone refused AT+CMGF=0\n");

    AnsweringPty full("\r\n+CMS ERROR: 322\r\n");
    result = runProcess(PELORIN_CLI_PATH, {"receive", "--port", full.devicePath(), "--fast"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "pelorin-cli receive: The phone answered +CMS ERROR: 322: memory full (3GPP TS 27.005)\n");

    result = runProcess(PELORIN_CLI_PATH, {"receive", "--port", "/dev/pelorin-no-such-port"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("/dev/pelorin-no-such-port: no such device"), std::string::npos) << result.err;

    for (const auto& args : std::vector<std::vector<std::string>>{{"receive"},
                                                                  {"receive", "--port"},
                                                                  {"receive", "--port", "COM1:", "--delete"},
                                                                  {"receive", "--port", "COM1:", "--x"}}) {
        result = runProcess(PELORIN_CLI_PATH, args);
        EXPECT_EQ(result.exitStatus, 2) << args.back();
        EXPECT_EQ(result.err.rfind("pelorin-cli receive: ", 0), 0u) << result.err;
    }
}

}  // namespace
}  // namespace pelorin
