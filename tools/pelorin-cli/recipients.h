#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pelorin::cli {

// The send options for many numbers and for an SMS centre, taken out of the
// argument list before the job's own options are read.
struct RecipientArguments {
    std::vector<std::string> numbers;  // --to, in order, then --to-file
    std::optional<std::string> toFile;
    std::optional<std::string> smsc;
    std::optional<std::string> journal;
    std::optional<std::string> passwordFile;
    bool resendUnknown = false;
    bool hasPort = false;
    std::size_t window = 10;
    double rate = 0;
    int waitReceipts = 0;
    std::vector<std::string> rest;  // everything else, for parseJobArguments
};

// Splits args; nothing and error set on a bad value.
std::optional<RecipientArguments> takeRecipientArguments(const std::vector<std::string>& args, std::string& error);

// Reads --to-file (one number a line, '#' comments, blank lines skipped) onto
// numbers and checks every number; the first bad one is named with its line.
bool collectNumbers(RecipientArguments& arguments, std::string& error);

}  // namespace pelorin::cli
