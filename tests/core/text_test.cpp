#include "util/text.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

TEST(EscapedForDisplayTest, NothingThatDrivesATerminalOrReordersTextGoesThrough) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"plain caf\xC3\xA9 \xE2\x82\xAC", "plain caf\xC3\xA9 \xE2\x82\xAC"},
        {"a\\b\tc\nd\re", "a\\\\b\\tc\\nd\\re"},
        {"\x1B]0;owned\x07\x1B[2J\x7F", "\\x1B]0;owned\\x07\\x1B[2J\\x7F"},
        {std::string("nul\0end", 7), "nul\\x00end"},
        // C1 controls written in UTF-8, and as single bytes of a text that is not UTF-8.
        {"\xC2\x80\xC2\x9B"
         "2J\xC2\x9F\xC2\xA0",
         "\\u0080\\u009B2J\\u009F\xC2\xA0"},
        {"\x9B"
         "2J\x85\xA0\xFF",
         "\\x9B2J\\x85\xA0\xFF"},
        // The bidirectional embeddings, overrides and isolates, and their neighbours.
        {"\xE2\x80\xAA\xE2\x80\xAE\xE2\x81\xA6\xE2\x81\xA9", "\\u202A\\u202E\\u2066\\u2069"},
        {"\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA", "\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA"},
        // A sequence cut short: its C1-range continuation byte is escaped on its own.
        {"\xE2\x80", "\xE2\\x80"},
    };
    for (const auto& [text, shown] : rows) EXPECT_EQ(escapedForDisplay(text), shown) << shown;
}

}  // namespace
}  // namespace pelorin
