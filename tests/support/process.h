#pragma once

#include <string>
#include <vector>

namespace pelorin::testing {

struct ProcessResult {
    int exitStatus = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs a program to its end with the given arguments, capturing both streams.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args);

}  // namespace pelorin::testing
