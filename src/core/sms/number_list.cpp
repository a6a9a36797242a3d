#include "sms/number_list.h"

#include <algorithm>

#include "sms/encoding.h"

namespace pelorin {

namespace {

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string NumberList::joined() const {
    std::string text;
    for (const std::string& number : numbers) text += (text.empty() ? "" : ", ") + number;
    return text;
}

NumberList ParseNumberList(std::string_view typed) {
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        const std::size_t end = typed.find_first_of(",;", start);
        const std::string_view piece = typed.substr(start, end == std::string_view::npos ? end : end - start);
        if (!trimmed(piece).empty()) pieces.push_back(piece);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    // Nothing typed at all is refused as one empty number is.
    if (pieces.empty()) pieces.push_back(typed);
    NumberList list;
    for (const std::string_view piece : pieces) {
        const NormalizedNumber normalized = NormalizeNumber(piece);
        if (!normalized.ok()) {
            list.numbers.clear();
            list.problem = std::string(normalized.problem);
            if (pieces.size() > 1) list.problem = "\"" + std::string(trimmed(piece)) + "\" in To: " + list.problem;
            return list;
        }
        if (std::find(list.numbers.begin(), list.numbers.end(), normalized.number) == list.numbers.end())
            list.numbers.push_back(normalized.number);
    }
    return list;
}

}  // namespace pelorin
