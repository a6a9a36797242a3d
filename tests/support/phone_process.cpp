#include "support/phone_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>

namespace pelorin::testing {

std::filesystem::path makeTempDir(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}

PhoneProcess::PhoneProcess(const std::string& program, const std::vector<std::string>& flags) {
    storeDir_ = makeTempDir("pelorin-phone-store");
    std::vector<std::string> args{program, "--store", storeDir_.string()};
    args.insert(args.end(), flags.begin(), flags.end());
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    int in[2];
    int out[2];
    if (pipe(in) != 0) return;
    if (pipe(out) != 0) {
        close(in[0]);
        close(in[1]);
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    stdinFd_ = in[1];
    stdoutFd_ = out[0];
    if (pid_ < 0) return;

    // The first line of its output is the device path.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string line;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd fd{stdoutFd_, POLLIN, 0};
        if (poll(&fd, 1, 100) <= 0) continue;
        char c;
        const ssize_t n = read(stdoutFd_, &c, 1);
        if (n <= 0) break;
        if (c == '\n') {
            devicePath_ = line;
            break;
        }
        line.push_back(c);
    }
}

PhoneProcess::~PhoneProcess() {
    stop();
    if (!storeDir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(storeDir_, ignored);
    }
}

std::vector<std::string> PhoneProcess::logLines() const {
    std::vector<std::string> lines;
    std::ifstream in(storeDir_ / "log.txt");
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

int PhoneProcess::stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (stdinFd_ >= 0) close(stdinFd_);
    if (stdoutFd_ >= 0) close(stdoutFd_);
    stdinFd_ = stdoutFd_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace pelorin::testing
