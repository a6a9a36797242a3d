// Sends as an ordinary user, the way people run the programs: the phone and
// the command line both as user nobody when the tests run as root.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "support/phone_process.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

namespace pelorin {
namespace {

std::size_t countLines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::size_t lines = 0;
    for (std::string line; std::getline(in, line);) lines += line.empty() ? 0 : 1;
    return lines;
}

TEST(UnprivilegedSendTest, TwoSendsInARowBothArrive) {
    testing::TemporaryFolder folder{"pelorin-unprivileged"};
    const std::filesystem::path store = folder.path() / "store";
    std::filesystem::create_directory(store);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    ASSERT_TRUE(testing::giveToUnprivilegedUser(folder.path()));
    ASSERT_TRUE(testing::giveToUnprivilegedUser(store));
    const std::string link = folder.file("phone-link");

    auto phoneCommand =
        testing::commandAsUnprivilegedUser(PELORIN_PHONE_PATH, {"--quiet", "--store", store.string(), "--link", link});
    if (phoneCommand.empty()) GTEST_SKIP() << "running as root without /usr/bin/setpriv to switch to user nobody";
    const std::string program = phoneCommand.front();
    phoneCommand.erase(phoneCommand.begin());
    testing::PhoneProcess phone(program, phoneCommand);
    ASSERT_TRUE(phone.started());

    for (int round = 1; round <= 2; ++round) {
        auto send = testing::commandAsUnprivilegedUser(
            PELORIN_CLI_PATH, {"send", "group-graphic", "--to", "+4917012345", "--port", link});
        const std::string sender = send.front();
        send.erase(send.begin());
        const auto result = testing::runProcess(sender, send);
        EXPECT_EQ(result.exitStatus, 0) << "send " << round << ": " << result.out << result.err;
        EXPECT_NE(result.out.find("Logo was successfully sent"), std::string::npos)
            << "send " << round << ": " << result.out;
    }
    EXPECT_EQ(countLines(store / "log.txt"), 2u);
}

}  // namespace
}  // namespace pelorin
