#include "recipients.h"

#include <charconv>
#include <fstream>
#include <set>

#include "sms/encoding.h"

namespace pelorin::cli {

namespace {

bool usableNumber(const std::string& number) { return IsDialableNumber(number) && !number.empty() && number != "+"; }

// A '#' at the start of a line or after a blank starts a comment; one inside
// a number ("*100#") is part of it.
std::string withoutComment(const std::string& line) {
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
    return line;
}

std::string trimmed(const std::string& line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const auto last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

}  // namespace

std::optional<RecipientArguments> takeRecipientArguments(const std::vector<std::string>& args, std::string& error) {
    RecipientArguments result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        auto take = [&](std::optional<std::string>& slot) {
            if (!hasValue) {
                error = arg + " needs a value";
                return false;
            }
            slot = args[++i];
            return true;
        };
        auto count = [&](auto& slot, long long least, long long most) {
            std::optional<std::string> text;
            if (!take(text)) return false;
            long long value = 0;
            const auto [end, failed] = std::from_chars(text->data(), text->data() + text->size(), value);
            if (failed != std::errc() || end != text->data() + text->size() || value < least || value > most) {
                error = arg + " takes a number from " + std::to_string(least) + " to " + std::to_string(most);
                return false;
            }
            slot = static_cast<std::remove_reference_t<decltype(slot)>>(value);
            return true;
        };
        std::optional<std::string> value;
        if (arg == "--to") {
            if (!take(value)) return std::nullopt;
            result.numbers.push_back(*value);
        } else if (arg == "--to-file") {
            if (!take(result.toFile)) return std::nullopt;
        } else if (arg == "--smsc") {
            if (!take(result.smsc)) return std::nullopt;
        } else if (arg == "--journal") {
            if (!take(result.journal)) return std::nullopt;
        } else if (arg == "--password-file") {
            if (!take(result.passwordFile)) return std::nullopt;
        } else if (arg == "--resend-unknown") {
            result.resendUnknown = true;
        } else if (arg == "--window") {
            if (!count(result.window, 1, 1000)) return std::nullopt;
        } else if (arg == "--rate") {
            if (!count(result.rate, 1, 1000000)) return std::nullopt;
        } else if (arg == "--wait-receipts") {
            if (!count(result.waitReceipts, 1, 86400)) return std::nullopt;
        } else {
            if (arg == "--port") result.hasPort = true;
            result.rest.push_back(arg);
            // The values of the job's options pass through untouched.
            if ((arg == "--port" || arg == "--network" || arg == "--text" || arg == "--log" || arg == "--smsc-number" ||
                 arg == "--pin-file") &&
                hasValue)
                result.rest.push_back(args[++i]);
        }
    }
    return result;
}

bool collectNumbers(RecipientArguments& arguments, std::string& error) {
    // Each recipient once: the journal keys parts by number.
    std::set<std::string> seen;
    for (const std::string& number : arguments.numbers) {
        if (!usableNumber(number)) {
            error = "--to " + number + ": not a number (digits 0-9, * or #, with an optional + in front)";
            return false;
        }
        if (!seen.insert(number).second) {
            error = "--to " + number + " is given twice";
            return false;
        }
    }
    if (!arguments.toFile) return true;
    std::ifstream in(*arguments.toFile);
    if (!in) {
        error = "cannot read --to-file " + *arguments.toFile;
        return false;
    }
    std::string line;
    for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
        const std::string number = trimmed(withoutComment(line));
        if (number.empty()) continue;
        if (!usableNumber(number)) {
            error = *arguments.toFile + " line " + std::to_string(lineNumber) + ": " + number +
                    " is not a number (digits 0-9, * or #, with an optional + in front)";
            return false;
        }
        if (!seen.insert(number).second) {
            error = *arguments.toFile + " line " + std::to_string(lineNumber) + ": " + number + " is listed twice";
            return false;
        }
        arguments.numbers.push_back(number);
    }
    return true;
}

}  // namespace pelorin::cli
