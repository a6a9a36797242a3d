// A phone program we did not write, Gammu, identifies the simulated phone and
// sends through it a text message, an operator logo, a caller-group logo and
// a picture message. What the phone stores must be what Gammu was asked to
// send: that checks our decoder against an encoder that is not ours.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "peer_support.h"
#include "support/phone_process.h"
#include "support/phone_store.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace pelorin::phone {
namespace {

using peers::operatorPixel;
using peers::writeOneBitBmp;
constexpr const char* kGammu = "/usr/bin/gammu";

bool picturePixel(int x, int y) { return (x * 7 + y * 3) % 5 < 2 || y == 27; }
bool largePixel(int x, int y) { return (x + 2 * y) % 7 == 0 || x == 77; }

class GammuPeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::access(kGammu, X_OK), 0) << "Gammu is missing: scripts/ensure-packages.sh installs it (gammu)";
        ASSERT_TRUE(phone.started());
        // Gammu's own settings in a file of the test, never the user's.
        std::ofstream(folder.file("gammurc")) << "[gammu]\nconnection = at\ndevice = " << phone.devicePath() << "\n";
    }

    // Runs Gammu with the test's settings; its own timeouts are short, the
    // outer bound only guards against a hang. Gammu reads its arguments in
    // the locale's character set, so it gets a UTF-8 one whatever the
    // caller's (C.UTF-8 comes with the C library).
    pelorin::testing::ProcessResult gammu(std::vector<std::string> args) {
        args.insert(args.begin(), {"LC_ALL=C.UTF-8", "/usr/bin/timeout", "120", kGammu, "-c", folder.file("gammurc")});
        return pelorin::testing::runProcess("/usr/bin/env", args);
    }

    std::vector<std::map<std::string, std::string>> log() const { return pelorin::testing::readPhoneLog(store.path()); }

    void expectPicture(const std::string& file, int width, int height, bool (*set)(int, int)) {
        std::ifstream in(store.path() / (file + ".txt"));
        std::vector<std::string> rows;
        for (std::string row; std::getline(in, row);) rows.push_back(row);
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(height)) << file;
        for (int y = 0; y < height; ++y) {
            ASSERT_EQ(rows[y].size(), static_cast<std::size_t>(width)) << file << " row " << y;
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(rows[y][x] == '#', set(x, y)) << file << " (" << x << ", " << y << ")";
        }
    }

    pelorin::testing::TemporaryFolder folder{"pelorin-gammu"};
    pelorin::testing::TemporaryFolder store{"pelorin-gammu-store"};
    pelorin::testing::PhoneProcess phone{PELORIN_PHONE_PATH,
                                         {"--quiet", "--network", "262-02", "--store", store.path().string()}};
};

TEST_F(GammuPeerTest, IdentifiesThePhoneAndSendsTextLogosAndPictures) {
    const auto identify = gammu({"identify"});
    ASSERT_EQ(identify.exitStatus, 0) << identify.out << identify.err;
    EXPECT_NE(identify.out.find("Pelorin"), std::string::npos) << identify.out;
    EXPECT_NE(identify.out.find("490154203237518"), std::string::npos) << identify.out;

    writeOneBitBmp(folder.file("operator.bmp"), 72, 14, operatorPixel);
    writeOneBitBmp(folder.file("picture.bmp"), 72, 28, picturePixel);
    writeOneBitBmp(folder.file("large.bmp"), 78, 21, largePixel);
    const std::vector<std::vector<std::string>> sends = {
        {"sendsms", "TEXT", "+4917012345", "-text", "Hello from Gammu {x}"},
        {"sendsms", "TEXT", "0170123", "-unicode", "-text", "Gr\u00FC\u00DFe \u20AC \u041F\u0440\u0438"},
        {"sendsms", "OPERATOR", "+4917012345", folder.file("operator.bmp"), "-netcode", "262 02"},
        {"sendsms", "CALLER", "+4917012345", folder.file("operator.bmp")},
        {"sendsms", "PICTURE", "+4917012345", folder.file("picture.bmp"), "-text", "Gammu picture"},
        {"sendsms", "OPERATOR", "+4917012345", folder.file("large.bmp"), "-netcode", "234 15", "-biglogo"},
    };
    for (const auto& send : sends) {
        const auto result = gammu(send);
        EXPECT_EQ(result.exitStatus, 0) << send[1] << ": " << result.out << result.err;
    }

    const auto entries = log();
    ASSERT_EQ(entries.size(), sends.size());
    EXPECT_EQ(entries[0].at("kind"), "text-message");
    EXPECT_EQ(entries[0].at("number"), "+4917012345");
    EXPECT_EQ(entries[0].at("text"), "Hello from Gammu {x}");

    EXPECT_EQ(entries[1].at("kind"), "text-message");
    EXPECT_EQ(entries[1].at("number"), "0170123");
    EXPECT_EQ(entries[1].at("text"), "Gr\u00FC\u00DFe \u20AC \u041F\u0440\u0438");

    EXPECT_EQ(entries[2].at("kind"), "operator-logo");
    EXPECT_EQ(entries[2].at("size"), "72x14");
    EXPECT_EQ(entries[2].at("mcc"), "262");
    EXPECT_EQ(entries[2].at("mnc"), "02");
    expectPicture(entries[2].at("file"), 72, 14, operatorPixel);

    EXPECT_EQ(entries[3].at("kind"), "group-graphic");
    EXPECT_EQ(entries[3].at("size"), "72x14");
    expectPicture(entries[3].at("file"), 72, 14, operatorPixel);

    EXPECT_EQ(entries[4].at("kind"), "picture-message");
    EXPECT_EQ(entries[4].at("size"), "72x28");
    EXPECT_EQ(entries[4].at("text"), "Gammu picture");
    EXPECT_EQ(entries[4].at("parts"), "3");
    expectPicture(entries[4].at("file"), 72, 28, picturePixel);

    EXPECT_EQ(entries[5].at("kind"), "operator-logo");
    EXPECT_EQ(entries[5].at("size"), "78x21");
    EXPECT_EQ(entries[5].at("mcc"), "234");
    EXPECT_EQ(entries[5].at("mnc"), "15");
    expectPicture(entries[5].at("file"), 78, 21, largePixel);
    for (const auto& entry : entries) EXPECT_EQ(entry.at("error"), "");
}

// Gammu takes only bitmaps of 1 bit a pixel: the one pelorin-cli writes with
// --depth 1 goes to the phone as it is, every pixel in its place.
TEST_F(GammuPeerTest, SendsTheOneBitBitmapThatPelorinCliWrites) {
    const std::string plr = folder.file("logo.plr");
    const std::string bmp = folder.file("logo.bmp");
    const auto cli = [](const std::vector<std::string>& args) {
        return pelorin::testing::runProcess(PELORIN_CLI_PATH, args);
    };
    const auto made = cli({"text", "Pelorin\n1-bit BMP", plr, "--kind", "picture"});
    ASSERT_EQ(made.exitStatus, 0) << made.err;
    const auto converted = cli({"convert", plr, bmp, "--depth", "1"});
    ASSERT_EQ(converted.exitStatus, 0) << converted.err;
    const auto shown = cli({"show", plr});
    ASSERT_EQ(shown.exitStatus, 0) << shown.err;
    const std::string canvas = shown.out.substr(shown.out.find('\n') + 1);

    const auto sent = gammu({"sendsms", "PICTURE", "+4917012345", bmp, "-text", "1-bit"});
    ASSERT_EQ(sent.exitStatus, 0) << sent.out << sent.err;
    const auto entries = log();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].at("kind"), "picture-message");
    EXPECT_EQ(entries[0].at("size"), "72x28");
    EXPECT_EQ(entries[0].at("text"), "1-bit");
    std::string stored;
    for (const std::string& row : pelorin::testing::readPhonePicture(store.path(), entries[0].at("file")))
        stored += row + '\n';
    EXPECT_EQ(stored, canvas);
    EXPECT_GT(std::count(canvas.begin(), canvas.end(), '#'), 50);
}

}  // namespace
}  // namespace pelorin::phone
