#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace pelorin::testing {

// A pelorin-phone started for one test: its device path, the folder where it
// stores what it received, and its end when the test ends.
class PhoneProcess {
public:
    // Starts the simulator program with --store into a fresh folder plus
    // extra flags.
    explicit PhoneProcess(const std::string& program, const std::vector<std::string>& flags = {});
    ~PhoneProcess();
    PhoneProcess(const PhoneProcess&) = delete;
    PhoneProcess& operator=(const PhoneProcess&) = delete;

    bool started() const { return !devicePath_.empty(); }
    const std::string& devicePath() const { return devicePath_; }
    const std::filesystem::path& storeDir() const { return storeDir_; }

    // The lines of the store's log, oldest first.
    std::vector<std::string> logLines() const;

    // Ends the simulator (SIGTERM) and waits for it; returns its exit status.
    int stop();

private:
    pid_t pid_ = -1;
    int stdinFd_ = -1;
    int stdoutFd_ = -1;
    std::string devicePath_;
    std::filesystem::path storeDir_;
};

std::filesystem::path makeTempDir(const std::string& prefix);

}  // namespace pelorin::testing
