// smstools' smsd, with one modem on the simulated phone in PDU mode, sends
// the files of an outgoing spool: a GSM 7-bit and a UCS-2 text and an
// operator logo, each of which must arrive decoded exactly. smsd runs in the
// foreground with its configuration, spool, log, pid and info files in a
// temporary folder and is stopped, with its modem handler, when the test
// ends.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "peer_support.h"
#include "support/phone_process.h"

namespace pelorin::phone {
namespace {

using namespace peers;
using namespace std::chrono_literals;
constexpr const char* kSmsd = "/usr/sbin/smsd";

class SmsdPeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::access(kSmsd, X_OK), 0) << "smsd is missing: scripts/ensure-packages.sh installs it (smstools)";
        ASSERT_TRUE(phone.started());
        for (const char* spool : {"outgoing", "checked", "failed", "sent", "incoming"})
            std::filesystem::create_directory(folder.path() / spool);
        std::ofstream(folder.file("smsd.conf"))
            << "devices = GSM1\n"
            << "outgoing = " << folder.file("outgoing") << "\nchecked = " << folder.file("checked")
            << "\nfailed = " << folder.file("failed") << "\nsent = " << folder.file("sent")
            << "\nincoming = " << folder.file("incoming") << "\nlogfile = " << folder.file("smsd.log")
            << "\nloglevel = 7\ninfofile = " << folder.file("smsd.running") << "\npidfile = " << folder.file("smsd.pid")
            << "\nstats = " << folder.file("") << "\ndelaytime = 1\ndelaytime_mainprocess = 1\n\n"
            << "[GSM1]\ndevice = " << phone.devicePath() << "\nincoming = no\nbaudrate = 115200\n";
    }
    // Waits until count files have been sent or one has failed.
    bool waitForSent(std::size_t count) {
        const auto end = std::chrono::steady_clock::now() + 60s;
        while (std::chrono::steady_clock::now() < end) {
            const auto files = [this](const char* spool) {
                return std::distance(std::filesystem::directory_iterator(folder.path() / spool),
                                     std::filesystem::directory_iterator{});
            };
            if (files("failed") > 0) return false;
            if (static_cast<std::size_t>(files("sent")) == count) return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    pelorin::testing::TemporaryFolder folder{"pelorin-smsd"};
    pelorin::testing::TemporaryFolder store{"pelorin-smsd-store"};
    pelorin::testing::PhoneProcess phone{PELORIN_PHONE_PATH,
                                         {"--quiet", "--network", "262-02", "--store", store.path().string()}};
};

TEST_F(SmsdPeerTest, SendsTheOutgoingSpoolTextsAndAnOperatorLogo) {
    // Written beside the spool and moved in, so that smsd never sees half a file.
    const auto spool = [this](const std::string& name, const std::string& content) {
        std::ofstream(folder.file(name)) << content;
        std::filesystem::rename(folder.file(name), folder.path() / "outgoing" / name);
    };
    spool("1-text", "To: 4917012345\nAlphabet: UTF-8\n\nHello from smsd {x} \u00E4");
    spool("2-unicode", "To: 4917012345\nAlphabet: UTF-8\n\nGr\u00FC\u00DFe \u20AC \u041F\u0440\u0438");
    std::string logo =
        "To: 4917012345\nAlphabet: binary\nUDH: true\nHex: yes\n\n06 05 04 15 82 00 00 62 F2 20 00 48 0E 01";
    for (int byte = 0; byte < 126; ++byte) {
        unsigned octet = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const int pixel = byte * 8 + bit;
            if (operatorPixel(pixel % 72, pixel / 72)) octet |= 0x80u >> bit;
        }
        static constexpr char kDigits[] = "0123456789ABCDEF";
        logo += std::string(" ") + kDigits[octet >> 4] + kDigits[octet & 15];
    }
    spool("3-logo", logo + "\n");

    // smsd ends with the modem handler it starts: the whole group is stopped.
    DaemonProcess smsd({kSmsd, "-t", "-c" + folder.file("smsd.conf")}, folder.path().string());
    const bool sent = waitForSent(3);
    smsd.stop();
    ASSERT_TRUE(sent) << pelorin::testing::readFileText(folder.file("smsd.log"));

    const auto entries = pelorin::testing::readPhoneLog(store.path());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].at("kind"), "text-message");
    EXPECT_EQ(entries[0].at("number"), "+4917012345");
    EXPECT_EQ(entries[0].at("text"), "Hello from smsd {x} \u00E4");
    EXPECT_EQ(entries[1].at("kind"), "text-message");
    EXPECT_EQ(entries[1].at("text"), "Gr\u00FC\u00DFe \u20AC \u041F\u0440\u0438");
    EXPECT_EQ(entries[2].at("kind"), "operator-logo");
    EXPECT_EQ(entries[2].at("mcc") + "-" + entries[2].at("mnc"), "262-02");
    expectStoredPicture(store.path(), entries[2].at("file"), 72, 14, operatorPixel);
    for (const auto& entry : entries) EXPECT_EQ(entry.at("error"), "");

    // The pre-initialisation on one line and the subscriber identity.
    const std::string log = pelorin::testing::readFileText(folder.file("smsd.log"));
    EXPECT_NE(log.find("<- +CREG: 2,1,\"1A2B\",\"00C3D4E5\" OK"), std::string::npos);
    EXPECT_NE(log.find("IMSI: 262020123456789"), std::string::npos);
}

}  // namespace
}  // namespace pelorin::phone
