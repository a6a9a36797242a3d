// pelorin-cli against what it does not control: a phone's texts, a busy
// phone, standard output that cannot be written, option values that look
// like options, and save targets that are not files.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/answering_pty.h"
#include "support/deliver_builder.h"
#include "support/phone_process.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

using testing::runProcess;

TEST(CliHostileTest, NetworkShowsThePhonesControlCharactersEscaped) {
    testing::AnsweringPty phone("AT\r\r\n+COPS: 0,0,\"\x1B]0;owned\x07\x1B[2J\xC2\x9B\"\r\n\r\nOK\r\n");
    const auto result = runProcess(PELORIN_CLI_PATH, {"network", "--port", phone.devicePath(), "--fast"});
    EXPECT_EQ(result.err,
              "pelorin-cli network: The phone named its network as \"\\x1B]0;owned\\x07\\x1B[2J\\u009B\", not "
              "as MCC and MNC\n");
    EXPECT_EQ(result.exitStatus, 1);
}

// A phone's text with C1 controls and a right-to-left override, and a picture
// whose decoder warning quotes the file's own escape sequences.
TEST(CliHostileTest, TextsFromPhonesAndPictureFilesReachTheTerminalEscaped) {
    testing::TemporaryFolder folder{"pelorin-hostile"};
    const testing::DeliverOctets ucs2{0x00, 'a', 0x00, 0x9B, 0x00, '2', 0x00, 'J', 0x20, 0x2E, 0x00, 'b'};
    std::ofstream(folder.file("inbox.txt")) << testing::Deliver{{}, ucs2, 0x08}.hex() << "\n";
    testing::PhoneProcess phone(PELORIN_PHONE_PATH, {"--quiet", "--inbox", folder.file("inbox.txt")});
    ASSERT_TRUE(phone.started());
    auto result = runProcess(PELORIN_CLI_PATH, {"receive", "--port", phone.devicePath(), "--fast"});
    EXPECT_EQ(result.out, "SM:1\t+4912345\t2026-12-07 17:45:00 +01:00\ttext\ta\\u009B2J\\u202Eb\n");

    std::ofstream(folder.file("evil.xpm")) << "/* XPM */\nstatic char *x[] = {\n\"2 1 2 1\",\n\"a c #000000\",\n"
                                              "\"b \x1B]0;owned\x07\x1B[2J\",\n\"ab\"};\n";
    result = runProcess(PELORIN_CLI_PATH, {"convert", folder.file("evil.xpm"), folder.file("out.plr")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("\\x1B]0;owned\\x07\\x1B[2"), std::string::npos) << result.err;
    EXPECT_EQ(std::count_if(result.err.begin(), result.err.end(), [](char c) { return c >= 0 && c < 0x20; }), 1)
        << result.err;
}

TEST(CliHostileTest, AFastSendWaitsThroughAKilobyteOfUnrelatedLines) {
    testing::PhoneProcess phone(PELORIN_PHONE_PATH, {"--quiet", "--unsolicited-lines", "80"});
    ASSERT_TRUE(phone.started());
    const auto result = runProcess(
        PELORIN_CLI_PATH, {"send", "picture-message", "--to", "+4917012345", "--fast", "--port", phone.devicePath()});
    EXPECT_NE(result.out.find("Picture message was successfully sent\n"), std::string::npos) << result.out;
    EXPECT_EQ(result.exitStatus, 0);
}

TEST(CliHostileTest, AFailedWriteToStandardOutputExitsWithOne) {
    for (const std::string command :
         {"encode group-graphic --to 123", "show " PELORIN_SOURCE_DIR "/examples/smile.plr", "--help"}) {
        const auto result =
            runProcess("/bin/sh", {"-c", std::string("exec \"$0\" ") + command + " >/dev/full", PELORIN_CLI_PATH});
        EXPECT_EQ(result.exitStatus, 1) << command;
        EXPECT_EQ(result.err, "pelorin-cli: cannot write to standard output: No space left on device\n") << command;
    }
}

TEST(CliHostileTest, HelpIsAnOptionOnlyInThePlaceOfOne) {
    const auto valueH = runProcess(PELORIN_CLI_PATH, {"encode", "picture-message", "--to", "123", "--text", "-h"});
    EXPECT_EQ(valueH.out.rfind("AT+CMGS=", 0), 0u) << valueH.out;
    const auto toHelp = runProcess(PELORIN_CLI_PATH, {"send", "group-graphic", "--to", "--help", "--port", "/dev/no"});
    EXPECT_EQ(toHelp.out.find("Usage:"), std::string::npos) << toHelp.out;
    EXPECT_NE(toHelp.exitStatus, 0);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"encode", "group-graphic", "--to", "1", "-h"}, {"network", "--port", "COM1:", "--help"}}) {
        const auto result = runProcess(PELORIN_CLI_PATH, args);
        EXPECT_EQ(result.out.rfind("Usage: pelorin-cli", 0), 0u) << args[0];
        EXPECT_EQ(result.exitStatus, 0);
    }
}

TEST(CliHostileTest, ConvertRefusesTargetsThatAreNotRegularFilesAndSavesLongNames) {
    testing::TemporaryFolder folder{"pelorin-targets"};
    const std::string in = PELORIN_SOURCE_DIR "/examples/smile.plr";
    const std::string fifo = folder.file("pipe.plr");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = folder.file("socket.plr");
    const int socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    std::filesystem::create_symlink(fifo, folder.file("link-to-pipe.plr"));
    std::vector<std::pair<std::string, std::string>> targets{
        {fifo, fifo}, {socketPath, socketPath}, {folder.file("link-to-pipe.plr"), fifo}};
    // A device node of its own (the null device's numbers) where root may
    // make one; never the system's.
    const std::string device = folder.file("device.plr");
    if (::mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0) targets.emplace_back(device, device);

    for (const auto& [target, node] : targets) {
        struct stat before {};
        ASSERT_EQ(::lstat(node.c_str(), &before), 0);
        const auto result = runProcess(PELORIN_CLI_PATH, {"convert", in, target});
        EXPECT_EQ(result.exitStatus, 1) << target;
        const std::string named = target == node ? target : target + " (" + node + ")";
        EXPECT_EQ(result.err, "pelorin-cli convert: Cannot save as " + named +
                                  ": it is not a regular file (a device, a pipe, a socket or a folder), so it was "
                                  "left as it is.\n");
        struct stat after {};
        ASSERT_EQ(::lstat(node.c_str(), &after), 0) << node;
        EXPECT_EQ(after.st_ino, before.st_ino) << node << " was replaced";
    }
    ::close(socketFd);
    const std::string longest = folder.file(std::string(251, 'n') + ".plr");
    EXPECT_EQ(runProcess(PELORIN_CLI_PATH, {"convert", in, longest}).exitStatus, 0);
    EXPECT_EQ(std::filesystem::file_size(longest), 126u);
}

}  // namespace
}  // namespace pelorin
