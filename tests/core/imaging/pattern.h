#pragma once

#include <string>
#include <vector>

#include "document/canvas.h"

namespace pelorin::testing {

// The cells as rows of '#' (set) and '.' (clear), top row first.
inline std::vector<std::string> patternOf(const Canvas& canvas) {
    std::vector<std::string> rows;
    for (int y = 0; y < canvas.height(); ++y) {
        std::string row;
        for (int x = 0; x < canvas.width(); ++x) row += canvas.isSet(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

}  // namespace pelorin::testing
