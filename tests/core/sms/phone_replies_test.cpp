// Reading phone replies: when a reply is complete, the error codes in it and
// what they mean, the operator in a +COPS answer.

#include <gtest/gtest.h>

#include "sms/at_reply.h"
#include "sms/phone_errors.h"

namespace pelorin {
namespace {

TEST(ScanReplyTest, AReplyEndsWithAWholeFinalLineOrThePrompt) {
    EXPECT_EQ(scanReply("", false), ReplyEnd::Open);
    EXPECT_EQ(scanReply("AT+CMGF=0\r", false), ReplyEnd::Open);
    EXPECT_EQ(scanReply("AT+CMGF=0\r\r\nOK", false), ReplyEnd::Open) << "the line end has not come yet";
    EXPECT_EQ(scanReply("AT+CMGF=0\r\r\nOK\r", false), ReplyEnd::Final);
    EXPECT_EQ(scanReply("\r\nERROR\r\n", false), ReplyEnd::Final);
    EXPECT_EQ(scanReply("\r\n+CMS ERROR: 304\r\n", false), ReplyEnd::Final);
    EXPECT_EQ(scanReply("\r\n+CME ERROR: SIM busy\n", false), ReplyEnd::Final);
    EXPECT_EQ(scanReply("\r\n+CMGS: 5\r\n\r\n OK \r\n", false), ReplyEnd::Final);
    // Words that merely contain a result are not one.
    EXPECT_EQ(scanReply("\r\nOKAY\r\nBROKEN\r\nNO ERRORS\r\n+CMGS: 1\r\n", false), ReplyEnd::Open);
    EXPECT_EQ(scanReply("ATI\r\r\nOK then\r\n", false), ReplyEnd::Open);

    EXPECT_EQ(scanReply("AT+CMGS=148\r\r\n> ", true), ReplyEnd::Prompt);
    EXPECT_EQ(scanReply("> ", true), ReplyEnd::Prompt);
    EXPECT_EQ(scanReply("AT+CMGS=148\r\r\n> ", false), ReplyEnd::Open);
    EXPECT_EQ(scanReply("AT+CMGS=148\r\r\n>", true), ReplyEnd::Prompt) << "phones that send no space after it";
    EXPECT_EQ(scanReply("AT+X=\"a> b\"\r", true), ReplyEnd::Open) << "not at the start of a line";
    EXPECT_EQ(scanReply("AT+CMGS=148\r\r\nERROR\r\n", true), ReplyEnd::Final);
}

TEST(FindPhoneErrorTest, ReadsNumbersAndTextsFromWholeLines) {
    auto error = findPhoneError("AT+CMGS=20\r\r\n+CMS ERROR: 304\r\n");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->family, PhoneErrorReply::Family::Cms);
    EXPECT_EQ(error->code, 304);

    error = findPhoneError("\r\n+CME ERROR:  SIM PIN required \r\n");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->family, PhoneErrorReply::Family::Cme);
    EXPECT_FALSE(error->code);
    EXPECT_EQ(error->text, "SIM PIN required");

    EXPECT_FALSE(findPhoneError("\r\n+CMS ERROR: 30"));  // cut off
    EXPECT_FALSE(findPhoneError("\r\nERROR\r\n"));
    error = findPhoneError("\r\n+CMS ERROR: 9999999999\r\n");
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->code) << "too long for a code";
    EXPECT_EQ(findPhoneError("+CME ERROR: " + std::string(500, 'x') + "\n")->text.size(), 80u);
}

TEST(PhoneErrorsTest, CodesAndTextsFromBothTables) {
    EXPECT_STREQ(cmsErrorMeaning(304), "invalid PDU mode parameter");
    EXPECT_STREQ(cmsErrorMeaning(330), "SMSC address unknown");
    EXPECT_STREQ(cmsErrorMeaning(38), "network out of order");
    EXPECT_STREQ(cmsErrorMeaning(208), "SIM SMS storage full");
    EXPECT_STREQ(cmsErrorMeaning(500), "unknown error");
    EXPECT_EQ(cmsErrorMeaning(306), nullptr);
    EXPECT_STREQ(cmeErrorMeaning(0), "phone failure");
    EXPECT_STREQ(cmeErrorMeaning(11), "SIM PIN required");
    EXPECT_STREQ(cmeErrorMeaning(30), "no network service");
    EXPECT_STREQ(cmeErrorMeaning(100), "unknown");
    EXPECT_STREQ(cmeErrorMeaning(148), "unspecified GPRS error");
    EXPECT_EQ(cmeErrorMeaning(9), nullptr);

    EXPECT_EQ(cmeErrorCode("sim pin required"), 11);
    EXPECT_EQ(cmeErrorCode("Operation  not supported"), 4);
    EXPECT_EQ(cmsErrorCode("SIM not inserted"), 310) << "(U) is left out when comparing";
    EXPECT_EQ(cmsErrorCode("unknown error"), 500);
    EXPECT_FALSE(cmeErrorCode("the cat sat on the phone"));
    EXPECT_FALSE(cmeErrorCode(""));
}

TEST(PhoneErrorsTest, DescribesEachFormForTheUser) {
    using Family = PhoneErrorReply::Family;
    EXPECT_EQ(describePhoneError({Family::Cms, 304, "304"}),
              "The phone answered +CMS ERROR: 304: invalid PDU mode parameter (3GPP TS 27.005)");
    EXPECT_EQ(describePhoneError({Family::Cme, 10, "10"}),
              "The phone answered +CME ERROR: 10: SIM not inserted (3GPP TS 27.007)");
    EXPECT_EQ(describePhoneError({Family::Cme, std::nullopt, "SIM busy"}),
              "The phone answered +CME ERROR: SIM busy (code 14 of 3GPP TS 27.007)");
    EXPECT_EQ(describePhoneError({Family::Cms, 306, "306"}),
              "The phone answered +CMS ERROR: 306: a code that 3GPP TS 27.005 does not define");
    EXPECT_EQ(describePhoneError({Family::Cms, 513, "513"}),
              "The phone answered +CMS ERROR: 513: an error of the phone's maker (3GPP TS 27.005 leaves codes from "
              "512 to them)");
    EXPECT_EQ(describePhoneError({Family::Cme, std::nullopt, "out of \x1B bananas"}),
              "The phone answered +CME ERROR: out of \\x1B bananas (not a text of 3GPP TS 27.007)");
}

TEST(FindOperatorReplyTest, ReadsTheNetworkInEachForm) {
    auto cops = findOperatorReply("AT+COPS?\r\r\n+COPS: 0,2,\"26202\"\r\n\r\nOK\r\n");
    ASSERT_TRUE(cops);
    EXPECT_EQ(cops->format, 2);
    EXPECT_EQ(cops->network, "26202");

    cops = findOperatorReply("\r\n+COPS: 1,2,\"310260\",7\r\n");
    ASSERT_TRUE(cops);
    EXPECT_EQ(cops->network, "310260");

    cops = findOperatorReply("\r\n+COPS: 0,0,\"Vodafone.de\"\r\n");
    ASSERT_TRUE(cops);
    EXPECT_EQ(cops->format, 0);
    EXPECT_EQ(cops->network, "Vodafone.de");

    cops = findOperatorReply("\r\n+COPS: 0\r\n\r\nOK\r\n");
    ASSERT_TRUE(cops);
    EXPECT_EQ(cops->format, -1) << "not registered";

    cops = findOperatorReply("\r\n+COPS: 0,2,26202\r\n");
    ASSERT_TRUE(cops);
    EXPECT_EQ(cops->network, "26202");
    EXPECT_FALSE(findOperatorReply("\r\n+COPS: 0,2,\"26202\""));  // no line end yet
    EXPECT_FALSE(findOperatorReply("\r\nOK\r\n"));
    EXPECT_EQ(findOperatorReply("+COPS: 0,2,\"" + std::string(100, '1') + "\"\n")->network.size(), 32u);
}

}  // namespace
}  // namespace pelorin
