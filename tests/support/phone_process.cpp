#include "support/phone_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string_view>

namespace pelorin::testing {

PhoneProcess::PhoneProcess(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    // The environment as it is, with TMPDIR in the object's own folder.
    ::chmod(scratch_.path().c_str(), 01777);
    std::vector<std::string> environment{"TMPDIR=" + scratch_.path().string()};
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::string_view(*entry).rfind("TMPDIR=", 0) != 0) environment.emplace_back(*entry);
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0) return;
    if (pipe2(out, O_CLOEXEC) != 0) {
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
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    stdinFd_ = in[1];
    stdoutFd_ = out[0];
    if (pid_ < 0) return;

    // The first line of its output is the device path.
    devicePath_ = readLine();
}

std::string PhoneProcess::readLine() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string line;
    while (stdoutFd_ >= 0 && std::chrono::steady_clock::now() < deadline) {
        pollfd fd{stdoutFd_, POLLIN, 0};
        if (poll(&fd, 1, 100) <= 0) continue;
        char c;
        const ssize_t n = read(stdoutFd_, &c, 1);
        if (n <= 0) break;
        if (c == '\n') return line;
        line.push_back(c);
    }
    return {};
}

PhoneProcess::~PhoneProcess() { stop(); }

bool PhoneProcess::writeInput(const std::string& text) {
    std::size_t done = 0;
    while (stdinFd_ >= 0 && done < text.size()) {
        const ssize_t n = write(stdinFd_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return done == text.size();
}

int PhoneProcess::wait() {
    if (pid_ <= 0) return -1;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (stdinFd_ >= 0) close(stdinFd_);
    if (stdoutFd_ >= 0) close(stdoutFd_);
    stdinFd_ = stdoutFd_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int PhoneProcess::stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    return wait();
}

}  // namespace pelorin::testing
