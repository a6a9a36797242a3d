#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// The numbers of a send dialog's "To" field: one number, or several
// separated by "," or ";", each made ready as NormalizeNumber does. Pieces
// with nothing in them (after a trailing separator, or between two) are left
// out, and a number given twice is sent to once.
struct NumberList {
    std::vector<std::string> numbers;  // in the order typed; empty when refused
    std::string problem;               // empty, or what the send dialog says
    bool ok() const { return problem.empty(); }
    // The numbers as the field shows them again: "+491701, +491702".
    std::string joined() const;
};

// A single number is refused with NormalizeNumber's own message; among
// several, the first bad one is named before that message.
NumberList ParseNumberList(std::string_view typed);

}  // namespace pelorin
