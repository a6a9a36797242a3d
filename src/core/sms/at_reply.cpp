#include "sms/at_reply.h"

#include <algorithm>
#include <functional>

namespace pelorin {

namespace {

constexpr std::size_t kMaxErrorText = 80;
constexpr std::size_t kMaxNetworkText = 32;

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Calls visit for every line that has its CR or LF, until visit returns true.
bool anyCompleteLine(std::string_view text, const std::function<bool(std::string_view)>& visit) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isLineEnd(text[i])) continue;
        if (i > start && visit(text.substr(start, i - start))) return true;
        start = i + 1;
    }
    return false;
}

bool isFinalResult(std::string_view line) {
    line = trimmed(line);
    return line == "OK" || line == "ERROR" || line.starts_with("+CMS ERROR:") || line.starts_with("+CME ERROR:");
}

// The text of the line that ends just before position end, zero bytes left
// out, with spaces trimmed.
std::string lineBefore(std::string_view text, std::size_t end) {
    std::size_t start = end;
    while (start > 0 && !isLineEnd(text[start - 1])) --start;
    std::string line;
    for (std::size_t i = start; i < end; ++i)
        if (text[i] != '\0') line.push_back(text[i]);
    return std::string(trimmed(line));
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int smallNumber(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

}  // namespace

bool canBelongToReply(std::string_view line) {
    line = trimmed(line);
    return line.starts_with("AT") || line.starts_with("at") || isFinalResult(line) || line.starts_with("+CMGS:") ||
           line.starts_with("+COPS:") || line.starts_with("+CPIN:") || line.starts_with("+CSCA:");
}

std::size_t dropUnrelatedLines(std::span<char> received) {
    std::size_t kept = 0;
    std::size_t start = 0;
    const std::size_t size = received.size();
    while (start < size) {
        std::size_t end = start;
        while (end < size && !isLineEnd(received[end])) ++end;
        if (end == size) break;  // no line end yet: kept as it is
        std::size_t next = end;
        while (next < size && isLineEnd(received[next])) ++next;
        const std::string_view line(received.data() + start, end - start);
        if (canBelongToReply(line)) {
            std::copy(received.begin() + static_cast<std::ptrdiff_t>(start),
                      received.begin() + static_cast<std::ptrdiff_t>(next),
                      received.begin() + static_cast<std::ptrdiff_t>(kept));
            kept += next - start;
        }
        start = next;
    }
    std::copy(received.begin() + static_cast<std::ptrdiff_t>(start), received.end(),
              received.begin() + static_cast<std::ptrdiff_t>(kept));
    return kept + (size - start);
}

bool hasPduPrompt(std::string_view text, std::string_view echo) {
    echo = trimmed(echo);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '>') continue;
        const bool endsRight = i + 1 == text.size() || text[i + 1] == ' ' || isLineEnd(text[i + 1]);
        if (!endsRight) continue;
        const std::string before = lineBefore(text, i);
        if (before.empty() || (!echo.empty() && before == echo)) return true;
    }
    return false;
}

ReplyEnd scanReply(std::string_view received, bool promptExpected, std::string_view echo) {
    if (anyCompleteLine(received, isFinalResult)) return ReplyEnd::Final;
    if (promptExpected && hasPduPrompt(received, echo)) return ReplyEnd::Prompt;
    return ReplyEnd::Open;
}

std::optional<PhoneErrorReply> findPhoneError(std::string_view received) {
    std::optional<PhoneErrorReply> found;
    anyCompleteLine(received, [&found](std::string_view line) {
        line = trimmed(line);
        PhoneErrorReply reply;
        if (line.starts_with("+CMS ERROR:")) {
            reply.family = PhoneErrorReply::Family::Cms;
        } else if (line.starts_with("+CME ERROR:")) {
            reply.family = PhoneErrorReply::Family::Cme;
        } else {
            return false;
        }
        const std::string_view value = trimmed(line.substr(11));
        reply.text = std::string(value.substr(0, kMaxErrorText));
        if (allDigits(value) && value.size() <= 5) reply.code = smallNumber(value);
        found = std::move(reply);
        return true;
    });
    return found;
}

std::optional<OperatorReply> findOperatorReply(std::string_view received) {
    std::optional<OperatorReply> found;
    anyCompleteLine(received, [&found](std::string_view line) {
        line = trimmed(line);
        if (!line.starts_with("+COPS:")) return false;
        // mode[,format,"operator"[,access technology]]
        std::string_view rest = trimmed(line.substr(6));
        OperatorReply reply;
        const std::size_t firstComma = rest.find(',');
        if (firstComma != std::string_view::npos) {
            rest = trimmed(rest.substr(firstComma + 1));
            const std::size_t secondComma = rest.find(',');
            const std::string_view format = trimmed(rest.substr(0, secondComma));
            if (secondComma != std::string_view::npos && allDigits(format) && format.size() == 1) {
                std::string_view name = trimmed(rest.substr(secondComma + 1));
                if (name.starts_with('"')) {
                    name.remove_prefix(1);
                    name = name.substr(0, name.find('"'));
                } else {
                    name = trimmed(name.substr(0, name.find(',')));
                }
                reply.format = format[0] - '0';
                reply.network = std::string(name.substr(0, kMaxNetworkText));
            }
        }
        found = std::move(reply);
        return true;
    });
    return found;
}

}  // namespace pelorin
