#include "smsc/send_journal.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/temp_folder.h"

namespace pelorin::smsc {
namespace {

const char* actionName(PartAction action) {
    switch (action) {
        case PartAction::Send:
            return "send";
        case PartAction::AlreadyAccepted:
            return "skip";
        case PartAction::Unknown:
            return "unknown";
    }
    return "?";
}

// What a run started again does with part 1 of "+49" after each journal.
TEST(SendJournalTest, ResumeRules) {
    struct Case {
        const char* lines;  // after the first line
        const char* withoutResend;
        const char* withResend;
    };
    const Case cases[] = {
        {"", "send", "send"},
        {"sending\t+49\t1\n", "unknown", "send"},
        {"sending\t+49\t1\naccepted\t+49\t1\t7\n", "skip", "skip"},
        {"sending\t+49\t1\nfailed\t+49\t1\tESME_RINVDSTADR\n", "send", "send"},
        // Throttled, then sent again: unknown until the second answer.
        {"sending\t+49\t1\nsending\t+49\t1\n", "unknown", "send"},
        {"sending\t+49\t1\nfailed\t+49\t1\tx\nsending\t+49\t1\n", "unknown", "send"},
        // A resend with --resend-unknown of a part that was accepted after all.
        {"sending\t+49\t1\naccepted\t+49\t1\t7\nsending\t+49\t1\n", "skip", "skip"},
        // The run died while writing the answer: the cut line is not taken.
        {"sending\t+49\t1\naccepted\t+49\t1\t7", "unknown", "send"},
        {"sending\t+49\t1\naccep", "unknown", "send"},
        {"sending\t+49\t2\naccepted\t+49\t2\t7\n", "send", "send"},  // another part
        {"sending\t+491\t1\n", "send", "send"},                      // another recipient
        {"garbage line\nsending\t+49\tx\n", "send", "send"},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto entries = readJournal(std::string("pelorin-journal 1 job\n") + c.lines, "job", error);
        ASSERT_TRUE(entries) << error;
        const auto found = entries->find({"+49", 1});
        const PartRecord record = found == entries->end() ? PartRecord::None : found->second.record;
        EXPECT_STREQ(actionName(resumeAction(record, false)), c.withoutResend) << c.lines;
        EXPECT_STREQ(actionName(resumeAction(record, true)), c.withResend) << c.lines;
    }
}

TEST(SendJournalTest, AnotherJobOrFileIsRefused) {
    std::string error;
    EXPECT_FALSE(readJournal("pelorin-journal 1 other\n", "job", error));
    EXPECT_EQ(error, "is the journal of another job (another kind, picture, text or list of numbers)");
    EXPECT_FALSE(readJournal("+4917\n+4918\n", "job", error));
    EXPECT_EQ(error, "is not a send journal");
    EXPECT_FALSE(readJournal("pelorin-journal 1 jo", "job", error));  // not even the first line is whole

    const std::vector<std::vector<std::uint8_t>> parts{{1, 2}, {3}};
    const std::string name = journalJobName("kind 1", parts, {"+49", "+50"});
    EXPECT_EQ(name.size(), 16u);
    EXPECT_NE(name, journalJobName("kind 2", parts, {"+49", "+50"}));
    EXPECT_NE(name, journalJobName("kind 1", {{1, 2}, {4}}, {"+49", "+50"}));
    EXPECT_NE(name, journalJobName("kind 1", {{1}, {2, 3}}, {"+49", "+50"}));
    EXPECT_NE(name, journalJobName("kind 1", parts, {"+49"}));
    EXPECT_NE(name, journalJobName("kind 1", parts, {"+50", "+49"}));
}

TEST(SendJournalTest, WrittenLinesReadBackAndACutLineIsEnded) {
    testing::TemporaryFolder folder("journal");
    const std::string path = (folder.path() / "j").string();
    std::string error;
    {
        SendJournal journal;
        ASSERT_TRUE(journal.open(path, "job", error)) << error;
        ASSERT_TRUE(journal.sending({{"+49", 1}, {"+49", 2}, {"7", 1}}, error));
        ASSERT_TRUE(journal.accepted({"+49", 1}, "id\twith tab"));
        ASSERT_TRUE(journal.failed({"7", 1}, "ESME_RINVDSTADR: invalid destination address"));
    }
    std::ofstream(path, std::ios::app) << "accepted\t+49\t2\t9";  // a run killed mid-line
    SendJournal again;
    ASSERT_TRUE(again.open(path, "job", error)) << error;
    EXPECT_EQ(again.entries().at({"+49", 1}).record, PartRecord::Accepted);
    EXPECT_EQ(again.entries().at({"+49", 1}).detail, "id with tab");
    EXPECT_EQ(again.entries().at({"+49", 2}).record, PartRecord::Sending);
    EXPECT_EQ(again.entries().at({"7", 1}).record, PartRecord::Failed);
    ASSERT_TRUE(again.accepted({"+49", 2}, "10"));
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    EXPECT_EQ(
        text.str(),
        "pelorin-journal 1 job\nsending\t+49\t1\nsending\t+49\t2\nsending\t7\t1\naccepted\t+49\t1\tid with tab\n"
        "failed\t7\t1\tESME_RINVDSTADR: invalid destination address\naccepted\t+49\t2\t9\naccepted\t+49\t2\t10\n");

    SendJournal other;
    EXPECT_FALSE(other.open(path, "another", error));
    EXPECT_EQ(error, path + " is the journal of another job (another kind, picture, text or list of numbers)");
}

}  // namespace
}  // namespace pelorin::smsc
