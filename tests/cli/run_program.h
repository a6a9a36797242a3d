#pragma once

#include <string>
#include <vector>

namespace pelorin::testing {

struct ProgramResult {
    int exitStatus = -1;  // -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs the program with exactly these arguments (no shell) and collects its
// standard output and standard error.
ProgramResult runProgram(const std::string& path, const std::vector<std::string>& args);

}  // namespace pelorin::testing
