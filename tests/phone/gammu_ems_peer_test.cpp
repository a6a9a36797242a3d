// Gammu, a phone program we did not write, sends EMS pictures (picture
// elements in the header of a text message) to the simulated phone, which
// must store exactly the picture Gammu was given. Gammu's 7-bit text behind
// a header longer than 7 octets has the wrong fill bits (one octet more than
// its length says; for a 16 x 16 picture a length too short even for the
// header), so the texts here go as UCS-2, and the 7-bit picture without text.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "peer_support.h"
#include "support/phone_process.h"
#include "support/phone_store.h"
#include "support/temp_folder.h"

namespace pelorin::phone {
namespace {

constexpr const char* kGammu = "/usr/bin/gammu";

bool smallPixel(int x, int y) { return (x * 3 + y) % 5 == 0 || y == 15; }

TEST(GammuEmsPeerTest, OneMessagePicturesAreStoredAsSent) {
    ASSERT_EQ(::access(kGammu, X_OK), 0) << "Gammu is missing: scripts/ensure-packages.sh installs it (gammu)";
    pelorin::testing::TemporaryFolder folder{"pelorin-gammu-ems"};
    pelorin::testing::TemporaryFolder store{"pelorin-gammu-ems-store"};
    pelorin::testing::PhoneProcess phone{PELORIN_PHONE_PATH, {"--quiet", "--store", store.path().string()}};
    ASSERT_TRUE(phone.started());
    std::ofstream(folder.file("gammurc")) << "[gammu]\nconnection = at\ndevice = " << phone.devicePath() << "\n";
    peers::writeOneBitBmp(folder.file("operator.bmp"), 72, 14, peers::operatorPixel);
    peers::writeOneBitBmp(folder.file("small.bmp"), 16, 16, smallPixel);

    const std::vector<std::vector<std::string>> sends = {
        {"-variablebitmap", folder.file("operator.bmp")},
        {"-unicode", "-text", "Gr\u00FC\u00DF", "-variablebitmap", folder.file("operator.bmp")},
        {"-unicode", "-fixedbitmap", folder.file("small.bmp")},
    };
    for (const auto& send : sends) {
        std::vector<std::string> args = {"-c", folder.file("gammurc"), "sendsms", "EMS", "+4917012345"};
        args.insert(args.end(), send.begin(), send.end());
        const auto result = peers::runPeer(folder.path().string(), kGammu, args);
        EXPECT_EQ(result.exitStatus, 0) << send[0] << ": " << result.out << result.err;
    }
    const auto entries = pelorin::testing::readPhoneLog(store.path());
    ASSERT_EQ(entries.size(), sends.size());
    for (const auto& entry : entries) EXPECT_EQ(entry.at("kind"), "ems-picture") << entry.at("error");
    EXPECT_EQ(entries[0].at("size"), "72x14");
    EXPECT_EQ(entries[0].at("text"), "");
    peers::expectStoredPicture(store.path(), entries[0].at("file"), 72, 14, peers::operatorPixel);
    EXPECT_EQ(entries[1].at("text"), "Gr\u00FC\u00DF");
    peers::expectStoredPicture(store.path(), entries[1].at("file"), 72, 14, peers::operatorPixel);
    EXPECT_EQ(entries[2].at("size"), "16x16");
    peers::expectStoredPicture(store.path(), entries[2].at("file"), 16, 16, smallPixel);
}

}  // namespace
}  // namespace pelorin::phone
