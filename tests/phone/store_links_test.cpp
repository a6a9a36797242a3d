// The store folder against planted links and other people's folders, with
// real files and the real program.

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
    for (const char* victim : {"log-victim", "txt-victim", "plr-victim"}) std::ofstream(outside.path() / victim) << "keep";
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
