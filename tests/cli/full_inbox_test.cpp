// pelorin-cli receive against a pelorin-phone whose inbox is full: 249 parts
// (83 picture messages of three full parts each), a listing of more than
// 64 KiB, must be read whole and every message listed.

#include <gtest/gtest.h>

#include <fstream>

#include "support/deliver_builder.h"
#include "support/phone_process.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

using namespace pelorin::testing;

TEST(FullInbox, ReceiveListsEveryMessageOfAFullPhone) {
    TemporaryFolder folder{"pelorin-full-inbox"};
    std::string inbox;
    std::size_t hexDigits = 0;
    constexpr int kMessages = 83;
    for (int n = 1; n <= kMessages; ++n) {
        // 121 characters of text fill the third part to 140 octets too.
        std::string text = "No " + std::to_string(n) + " ";
        text.resize(121, '.');
        DeliverOctets whole{0x30, 0x00, 0x00, static_cast<std::uint8_t>(text.size())};
        whole.insert(whole.end(), text.begin(), text.end());
        whole = whole + DeliverOctets{0x02, 0x01, 0x00} + ota(72, 28, static_cast<std::uint8_t>(n));
        const auto parts = deliverParts(0x158A, whole, static_cast<std::uint8_t>(n));
        ASSERT_EQ(parts.size(), 3u);
        for (const auto& part : parts) {
            inbox += part + "\n";
            hexDigits += part.size();
        }
    }
    ASSERT_GT(hexDigits, 75'000u);
    std::ofstream(folder.file("inbox.txt")) << inbox;
    PhoneProcess phone{PELORIN_PHONE_PATH, {"--quiet", "--inbox", folder.file("inbox.txt")}};
    ASSERT_TRUE(phone.started());

    const auto result = runProcess(PELORIN_CLI_PATH, {"receive", "--port", phone.devicePath(), "--fast"});
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitStatus, 0);
    std::string expected;
    for (int n = 1; n <= kMessages; ++n) {
        const int first = 3 * n - 2;
        expected += "SM:" + std::to_string(first) + "," + std::to_string(first + 1) + "," + std::to_string(first + 2) +
                    "\t+4912345\t2026-12-07 17:45:00 +01:00\tpicture-message\t72x28 ";
        std::string text = "No " + std::to_string(n) + " ";
        text.resize(121, '.');
        expected += text + "\n";
    }
    EXPECT_EQ(result.out, expected);
}

}  // namespace
}  // namespace pelorin
