#include "phone/reassembly.h"

#include <gtest/gtest.h>

#include "pdu_builder.h"

namespace pelorin::phone {
namespace {

using testing::Octets;
using testing::operator+;

SubmitMessage part(std::uint8_t sequence, std::uint8_t total, Octets payload, bool report = false,
                   std::string number = "+123", std::uint8_t reference = 1) {
    SubmitMessage message;
    message.firstOctet = report ? 0x71 : 0x51;
    message.number = std::move(number);
    message.destinationPort = 0x158A;
    message.concatenation = Concatenation{reference, total, sequence};
    message.payload = std::move(payload);
    return message;
}

TEST(Reassembly, CompletesOutOfOrderWithTheLatestCopyOfEachPart) {
    Reassembler reassembler;
    EXPECT_EQ(reassembler.add(part(3, 3, {0x30}, true)).status, ReassemblyResult::Status::Waiting);
    EXPECT_EQ(reassembler.add(part(1, 3, {0x10})).status, ReassemblyResult::Status::Waiting);
    EXPECT_EQ(reassembler.add(part(1, 3, {0x11, 0x12})).status, ReassemblyResult::Status::Waiting);
    EXPECT_EQ(reassembler.pendingGroups(), 1u);
    const auto result = reassembler.add(part(2, 3, {0x20}));
    ASSERT_EQ(result.status, ReassemblyResult::Status::Complete);
    EXPECT_EQ(result.message->payload, (Octets{0x11, 0x12, 0x20, 0x30}));
    EXPECT_EQ(result.message->reportRequested, (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(result.message->anyReportRequested());
    EXPECT_EQ(result.message->number, "+123");
    EXPECT_EQ(result.message->destinationPort, 0x158A);
    EXPECT_EQ(reassembler.pendingGroups(), 0u);

    // The group is gone: a late duplicate starts a new one.
    EXPECT_EQ(reassembler.add(part(2, 3, {0x20})).status, ReassemblyResult::Status::Waiting);
}

TEST(Reassembly, KeepsNumbersReferencesAndTotalsApart) {
    Reassembler reassembler;
    EXPECT_EQ(reassembler.add(part(1, 2, {1}, false, "+123")).status, ReassemblyResult::Status::Waiting);
    EXPECT_EQ(reassembler.add(part(2, 2, {2}, false, "+124")).status, ReassemblyResult::Status::Waiting);
    EXPECT_EQ(reassembler.add(part(2, 2, {2}, false, "+123", 2)).status, ReassemblyResult::Status::Waiting);
    EXPECT_EQ(reassembler.add(part(2, 3, {2}, false, "+123")).status, ReassemblyResult::Status::Waiting);
    EXPECT_EQ(reassembler.pendingGroups(), 4u);
    const auto result = reassembler.add(part(2, 2, {9}, false, "+123"));
    ASSERT_EQ(result.status, ReassemblyResult::Status::Complete);
    EXPECT_EQ(result.message->payload, (Octets{1, 9}));
}

TEST(Reassembly, RejectsSequenceNumbersOutsideTheTotal) {
    Reassembler reassembler;
    EXPECT_EQ(reassembler.add(part(0, 3, {1})).status, ReassemblyResult::Status::Rejected);
    EXPECT_EQ(reassembler.add(part(4, 3, {1})).status, ReassemblyResult::Status::Rejected);
    EXPECT_EQ(reassembler.add(part(1, 0, {1})).status, ReassemblyResult::Status::Rejected);
    EXPECT_EQ(reassembler.add(part(2, 1, {1})).status, ReassemblyResult::Status::Rejected);
    EXPECT_EQ(reassembler.pendingGroups(), 0u);
}

TEST(Reassembly, PassesSingleMessagesStraightThrough) {
    Reassembler reassembler;
    SubmitMessage single;
    single.firstOctet = 0x71;
    single.payload = {7, 8};
    const auto result = reassembler.add(single);
    ASSERT_EQ(result.status, ReassemblyResult::Status::Complete);
    EXPECT_EQ(result.message->payload, (Octets{7, 8}));
    EXPECT_EQ(result.message->reportRequested, std::vector<bool>{true});
    EXPECT_EQ(reassembler.add(part(1, 1, {5})).status, ReassemblyResult::Status::Complete);
}

TEST(Reassembly, DropsTheOldestUnfinishedGroupBeyondTheLimit) {
    Reassembler reassembler;
    for (unsigned i = 0; i < Reassembler::kMaxPendingGroups + 5; ++i) {
        reassembler.add(part(1, 2, {1}, false, "+" + std::to_string(i)));
    }
    EXPECT_EQ(reassembler.pendingGroups(), Reassembler::kMaxPendingGroups);
    // The first group was dropped, the last one is still there.
    EXPECT_EQ(reassembler.add(part(2, 2, {2}, false, "+0")).status, ReassemblyResult::Status::Waiting);
    const auto last = "+" + std::to_string(Reassembler::kMaxPendingGroups + 4);
    EXPECT_EQ(reassembler.add(part(2, 2, {2}, false, last)).status, ReassemblyResult::Status::Complete);
}

}  // namespace
}  // namespace pelorin::phone
