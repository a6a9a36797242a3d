#pragma once

// What the peer tests share: running a phone program we did not write with
// a UTF-8 locale and a home of its own (so that no test depends on the
// caller's locale or settings), and the pictures they send.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "support/bmp_builder.h"
#include "support/phone_store.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace pelorin::phone::peers {

inline bool operatorPixel(int x, int y) { return (x * 13 + y * 5) % 9 < 4; }

// A two-colour bitmap, bottom-up, index 0 black (a set pixel), index 1 white.
inline void writeOneBitBmp(const std::string& path, int width, int height, bool (*set)(int, int)) {
    pelorin::testing::BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitsPerPixel = 1;
    layout.colourEntries = 2;
    layout.pixel = [height, set](int x, int storedRow) { return set(x, height - 1 - storedRow) ? 0u : 1u; };
    auto bytes = pelorin::testing::buildBmp(layout);
    for (std::size_t i = 58; i < 61; ++i) bytes.at(i) = 0xFF;  // entry 1: white
    pelorin::testing::writeFileBytes(path, bytes);
}

// program with args, LC_ALL=C.UTF-8 and HOME set to home, bounded by a
// time-out that only guards against a hang.
inline pelorin::testing::ProcessResult runPeer(const std::string& home, const std::string& program,
                                               std::vector<std::string> args, int seconds = 120) {
    args.insert(args.begin(), {"LC_ALL=C.UTF-8", "HOME=" + home, "/usr/bin/timeout", std::to_string(seconds), program});
    return pelorin::testing::runProcess("/usr/bin/env", args);
}

// A daemon we did not write, in a process group of its own (with the
// processes it starts), with LC_ALL=C.UTF-8, HOME set to home and, when output
// names a file, its standard output and error there. Ended by SIGTERM to the
// group, then SIGKILL when it takes longer than ten seconds.
class DaemonProcess {
public:
    DaemonProcess(std::vector<std::string> argv, const std::string& home, const std::string& output = {}) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setpgid(0, 0);
            // A test program that dies without its destructors (a sanitizer's
            // abort) takes the daemon with it.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::setenv("LC_ALL", "C.UTF-8", 1);
            ::setenv("HOME", home.c_str(), 1);
            if (!output.empty()) {
                if (std::FILE* out = std::freopen(output.c_str(), "w", stdout)) ::dup2(::fileno(out), STDERR_FILENO);
            }
            std::vector<char*> args;
            for (auto& arg : argv) args.push_back(arg.data());
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        if (pid_ > 0) ::setpgid(pid_, pid_);
    }
    ~DaemonProcess() { stop(); }
    DaemonProcess(const DaemonProcess&) = delete;
    DaemonProcess& operator=(const DaemonProcess&) = delete;

    void stop() {
        if (pid_ <= 0) return;
        ::kill(-pid_, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

inline void expectStoredPicture(const std::filesystem::path& store, const std::string& file, int width, int height,
                                bool (*set)(int, int)) {
    const auto rows = pelorin::testing::readPhonePicture(store, file);
    EXPECT_EQ(pelorin::testing::pictureMismatch(rows, width, height, [set](int x, int y) { return set(x, y); }), "")
        << file;
}

}  // namespace pelorin::phone::peers
