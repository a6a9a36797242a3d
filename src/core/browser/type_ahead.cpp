#include "browser/type_ahead.h"

namespace pelorin {

namespace {

char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithFolded(std::string_view name, std::string_view prefix) {
    if (prefix.size() > name.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (folded(name[i]) != folded(prefix[i])) return false;
    return true;
}

}  // namespace

const std::string& TypeAhead::type(std::string_view text, std::int64_t nowMs) {
    // A clock that went back counts as a pause too.
    if (nowMs < last_ || nowMs - last_ > kPauseMs) typed_.clear();
    last_ = nowMs;
    typed_ += text;
    return typed_;
}

int firstNameStartingWith(const std::vector<std::string>& paths, std::string_view prefix) {
    if (prefix.empty()) return -1;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string_view path = paths[i];
        const auto slash = path.rfind('/');
        const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
        if (startsWithFolded(name, prefix)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace pelorin
