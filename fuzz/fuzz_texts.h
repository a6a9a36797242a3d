#pragma once

// Splits a fuzz input into a fixed number of texts at its zero bytes; texts
// the input does not reach stay empty, bytes after the last are ignored.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pelorin::fuzz {

inline std::vector<std::string> splitTexts(const std::uint8_t* data, std::size_t size, std::size_t count) {
    std::vector<std::string> texts(count);
    std::size_t which = 0;
    for (std::size_t i = 0; i < size && which < texts.size(); ++i) {
        if (data[i] == 0) {
            ++which;
            continue;
        }
        texts[which].push_back(static_cast<char>(data[i]));
    }
    return texts;
}

}  // namespace pelorin::fuzz
