#include "sms/phone_dialogue.h"

#include <gtest/gtest.h>

// The dialogue's scripted cases are files in tests/data/dialogue, run by
// dialogue_cases_test.cpp.

namespace pelorin {
namespace {

TEST(SendOutcomeTest, OnlyTheTwoSuccessTextsCountAsSuccess) {
    EXPECT_TRUE(IsSuccessOutcome("Logo was successfully sent"));
    EXPECT_TRUE(IsSuccessOutcome("Picture message was successfully sent"));
    EXPECT_FALSE(IsSuccessOutcome("Message send error"));
    EXPECT_FALSE(IsSuccessOutcome(""));
}

}  // namespace
}  // namespace pelorin
