#include <gtest/gtest.h>

#include <filesystem>

#include "support/pdu_reader.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace {

using pelorin::testing::runProcess;

pelorin::testing::ProcessResult encode(const std::vector<std::string>& args) {
    std::vector<std::string> all{"encode"};
    all.insert(all.end(), args.begin(), args.end());
    return runProcess(PELORIN_CLI_PATH, all);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        out.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

std::filesystem::path writeFile(const pelorin::testing::TemporaryFolder& folder, const std::string& name,
                                const std::vector<std::uint8_t>& bytes) {
    pelorin::testing::writeFileBytes(folder.file(name), bytes);
    return folder.file(name);
}

TEST(EncodeCommandTest, GroupGraphicForPlusOneTwoThree) {
    const auto result = encode({"group-graphic", "--to", "+123"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "AT+CMGS=148\n005100039121F300F5A78A060504158300003000480E01" + std::string(252, '0') + "\n");
    EXPECT_EQ(result.err, "");
}

TEST(EncodeCommandTest, PrintsEveryMessageOfAPictureWithUtf8Text) {
    const auto result = encode({"picture-message", "--to", "0170", "--text", "caf\xC3\xA9", "--report"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[0], "AT+CMGS=150");
    EXPECT_EQ(out[2], "AT+CMGS=150");
    EXPECT_EQ(out[4], "AT+CMGS=33");  // 2 address octets + 27 + 4 characters
    const auto first = pelorin::testing::readSubmitPdu(out[1]);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->payload[3], 4);  // "café" is four characters
    EXPECT_EQ(first->payload[7], 0xE9);
    const auto last = pelorin::testing::readSubmitPdu(out[5]);
    ASSERT_TRUE(last.has_value());
    EXPECT_TRUE(last->statusReportRequested());
}

TEST(EncodeCommandTest, FileAndNetworkReachThePdu) {
    const pelorin::testing::TemporaryFolder folder;
    std::vector<std::uint8_t> logo(126, 0);
    logo[0] = 0x80;    // pixel (0, 0)
    logo[125] = 0x01;  // pixel (71, 13)
    const auto path = writeFile(folder, "logo.plr", logo);
    const auto result = encode({"operator-logo", "--to", "+4912", "--network", "262-02", path.string()});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], "AT+CMGS=150");
    EXPECT_EQ(out[1].substr(0, 52),
              "0051000491942100F5A78C060504158200006"
              "2F22000480E0180");
    EXPECT_EQ(out[1].substr(out[1].size() - 2), "01");
}

TEST(EncodeCommandTest, BadArgumentsExitTwoWithOneLine) {
    const pelorin::testing::TemporaryFolder folder;
    const auto wrongSize = writeFile(folder, "wrong.plr", std::vector<std::uint8_t>(127, 0));
    const std::vector<std::vector<std::string>> cases = {
        {"fax-logo", "--to", "1"},
        {"group-graphic"},
        {"group-graphic", "--to", "1", "/nonexistent/file.plr"},
        {"group-graphic", "--to", "1", wrongSize.string()},
        {"picture-message", "--to", "1", wrongSize.string()},
        {"operator-logo", "--to", "1", "--network", "26202"},
        {"operator-logo", "--to", "1", "--network", "26-202"},
        {"group-graphic", "--to"},
        {"group-graphic", "--to", "1", "--bogus"},
    };
    for (const auto& args : cases) {
        const auto result = encode(args);
        EXPECT_EQ(result.exitStatus, 2) << args[0];
        EXPECT_EQ(result.out, "") << args[0];
        ASSERT_FALSE(result.err.empty()) << args[0];
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    }
}

TEST(EncodeCommandTest, HelpExplainsEveryKind) {
    const auto result = runProcess(PELORIN_CLI_PATH, {"--help"});
    EXPECT_EQ(result.exitStatus, 0);
    for (const char* kind : {"operator-logo", "group-graphic", "restore-operator-logo", "picture-message",
                             "large-operator-logo", "--network", "--report"})
        EXPECT_NE(result.out.find(kind), std::string::npos) << kind;
}

}  // namespace
