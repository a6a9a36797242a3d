#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace pelorin::testing {

// A pelorin-phone started for one test. Its standard input is a pipe held
// open for its whole life; the first line of its output is its device path.
// It is ended (SIGTERM) when the object goes. Its TMPDIR is a folder of the
// object's own (open to every user, as /tmp is), so that a phone without
// --store leaves nothing behind.
class PhoneProcess {
public:
    PhoneProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~PhoneProcess();
    PhoneProcess(const PhoneProcess&) = delete;
    PhoneProcess& operator=(const PhoneProcess&) = delete;

    bool started() const { return !devicePath_.empty(); }
    const std::string& devicePath() const { return devicePath_; }
    pid_t pid() const { return pid_; }

    // The next line of its output (without the newline), waiting up to 10 s;
    // empty when none came.
    std::string readLine();

    // Writes to the simulator's standard input (what --inbox-from-stdin reads).
    bool writeInput(const std::string& text);

    // Waits for the simulator to end by itself; its exit status, or -1.
    int wait();
    // Ends the simulator (SIGTERM) and waits for it; its exit status, or -1.
    int stop();

    // The simulator's TMPDIR.
    const std::filesystem::path& temporaryFolder() const { return scratch_.path(); }

private:
    TemporaryFolder scratch_{"pelorin-phone-tmp"};
    pid_t pid_ = -1;
    int stdinFd_ = -1;
    int stdoutFd_ = -1;
    std::string devicePath_;
};

}  // namespace pelorin::testing
