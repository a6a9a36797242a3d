#pragma once

#include <chrono>
#include <functional>
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

// Asks done every 100 ms until it is true or limit has passed; its last answer.
bool waitUntil(const std::function<bool()>& done, std::chrono::seconds limit);

}  // namespace pelorin::testing
