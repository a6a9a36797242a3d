// The log of the phone dialogue: its lines, the PIN masked in any pieces,
// the file it goes to, and the replies "Find phone" reads names from.

#include "sms/line_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/port_probe.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

TEST(LineLog, EntriesShowTimeDirectionAndEveryByte) {
    EXPECT_EQ(formatLineLogEntry(((3 * 60 + 4) * 60 + 5) * 1000 + 67, LineDirection::Sent, "AT+CMGF=0\r\n"),
              "03:04:05.067 > AT+CMGF=0<0D><0A>\n");
    EXPECT_EQ(formatLineLogEntry(86'399'999, LineDirection::Received, std::string("a<b\x1A\0\xFF", 6)),
              "23:59:59.999 < a<3C>b<1A><00><FF>\n");
}

TEST(LineLog, ThePinIsMaskedInEitherCaseAndAcrossPieces) {
    PinMask mask;
    std::string joined;
    for (const char* piece : {"AT+CMGF=0\r\nAT+CP", "IN=\"12", "34\"\r\nat+cpin=\"987654", "32\"\r\nAT+CPIN?\r\n"})
        joined += mask.apply(piece);
    EXPECT_EQ(joined, "AT+CMGF=0\r\nAT+CPIN=\"****\"\r\nat+cpin=\"********\"\r\nAT+CPIN?\r\n");
    EXPECT_EQ(PinMask().apply("+CPIN: READY 1234 AT+CCPIN=\"5\""), "+CPIN: READY 1234 AT+CCPIN=\"*\"");
}

TEST(LineLog, TheFileIsMadeAnewOnlyAsARegularFileOfItsOwner) {
    testing::TemporaryFolder folder("pelorin-line-log");
    const std::string path = folder.file("line.log");
    testing::writeFileBytes(path, std::vector<std::uint8_t>(100, 'x'));
    std::string why;
    {
        auto log = LineLog::create(path, why);
        ASSERT_TRUE(log) << why;
        const std::string pin = "AT+CPIN=\"4711\"\r\n";
        log->record(LineDirection::Sent, {reinterpret_cast<const std::uint8_t*>(pin.data()), pin.size()});
    }
    const std::string text = testing::readFileText(path);
    EXPECT_EQ(text.substr(12), " > AT+CPIN=\"****\"<0D><0A>\n") << "the earlier log is gone";
    EXPECT_EQ(::access(path.c_str(), F_OK), 0);

    ASSERT_EQ(::symlink(path.c_str(), folder.file("link").c_str()), 0);
    EXPECT_FALSE(LineLog::create(folder.file("link"), why));
    EXPECT_FALSE(LineLog::create(folder.path().string(), why));
    EXPECT_FALSE(LineLog::create("/dev/null", why)) << "not a regular file";
    EXPECT_EQ(testing::readFileText(path).substr(12), " > AT+CPIN=\"****\"<0D><0A>\n");
}

TEST(PortProbe, IdentityLinesLeaveOutEchoResultsAndControlCharacters) {
    EXPECT_EQ(identityLines("ATI\r\r\nQuectel\r\nEC25\r\nRevision: EC25EFAR06A03M4G\r\n\r\nOK\r\n", "ATI\r"),
              "Quectel EC25 Revision: EC25EFAR06A03M4G");
    EXPECT_EQ(identityLines("\r\n+CGMM: \"SIM800  R14\"\x07\r\n\r\nOK\r\n", "AT+CGMM"), "\"SIM800 R14\"");
    EXPECT_EQ(identityLines("AT+CGMM\r\r\nERROR\r\n", "AT+CGMM"), "");
    EXPECT_EQ(identityLines(std::string(300, 'A') + "\r\n", "ATI").size(), 80u);
    PortProbe probe;
    probe.state = PortProbe::State::Failed;
    probe.detail = "why";
    EXPECT_EQ(describeProbeState(probe), "cannot be used: why");
}

}  // namespace
}  // namespace pelorin
