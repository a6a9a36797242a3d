#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// Letters typed over a list to find a name, as file managers do: letters
// typed within kPause of each other add up, a longer pause starts afresh.
class TypeAhead {
public:
    static constexpr std::int64_t kPauseMs = 1000;

    // Adds the typed text at nowMs (any steady clock in milliseconds) and
    // gives what is sought now.
    const std::string& type(std::string_view text, std::int64_t nowMs);
    void clear() { typed_.clear(); }
    const std::string& typed() const { return typed_; }

private:
    std::string typed_;
    std::int64_t last_ = 0;
};

// The index of the first path whose file name (after the last "/") starts
// with prefix, ASCII letters compared without case and other bytes as they
// are; -1 for none or an empty prefix.
int firstNameStartingWith(const std::vector<std::string>& paths, std::string_view prefix);

}  // namespace pelorin
