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

// A program running beside the test, its standard output read line by line
// (standard error goes where the test's goes). Killed (SIGKILL) and waited
// for when the object goes, if still running.
class RunningProcess {
public:
    RunningProcess(const std::string& program, const std::vector<std::string>& args);
    ~RunningProcess();
    RunningProcess(const RunningProcess&) = delete;
    RunningProcess& operator=(const RunningProcess&) = delete;

    // Reads output lines until one equals line; false at the end of the
    // output or after timeoutMs. Everything read is kept in output().
    bool waitForLine(const std::string& line, int timeoutMs);
    const std::string& output() const { return output_; }
    void signal(int signalNumber);
    // Waits for the end: the exit status, or -1 when it did not exit normally.
    int wait();

private:
    int pid_ = -1;
    int stdoutFd_ = -1;
    std::string output_;
    std::string line_;
};

}  // namespace pelorin::testing
