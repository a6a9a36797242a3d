#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace pelorin::testing {

// A pelorin-phone started for one test. Its standard input is a pipe held
// open for its whole life; the first line of its output is its device path.
// It is ended (SIGTERM) when the object goes.
class PhoneProcess {
public:
    PhoneProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~PhoneProcess();
    PhoneProcess(const PhoneProcess&) = delete;
    PhoneProcess& operator=(const PhoneProcess&) = delete;

    bool started() const { return !devicePath_.empty(); }
    const std::string& devicePath() const { return devicePath_; }
    pid_t pid() const { return pid_; }

    // Waits for the simulator to end by itself; its exit status, or -1.
    int wait();
    // Ends the simulator (SIGTERM) and waits for it; its exit status, or -1.
    int stop();

private:
    pid_t pid_ = -1;
    int stdinFd_ = -1;
    int stdoutFd_ = -1;
    std::string devicePath_;
};

}  // namespace pelorin::testing
