// Why the POSIX opener could not open a port, on real devices and files.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/serial_port.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

using Reason = PortOpenFailure::Reason;

// The slave side of a new pseudo-terminal; the master stays open with it.
struct Pty {
    Pty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) path = ::ptsname(master);
    }
    ~Pty() {
        if (master >= 0) ::close(master);
    }
    int master = -1;
    std::string path;
};

PortOpenFailure failureOpening(const std::string& name) {
    PortOpenFailure failure;
    auto port = makePosixSerialPortOpener()->openExplaining(name, failure);
    EXPECT_EQ(port, nullptr) << name;
    return failure;
}

// Runs body in a child process and returns what it wrote to the pipe.
template <typename Body>
std::string inChild(Body body) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        const std::string said = body();
        [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], said.data(), said.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string said;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return said;
}

TEST(PortOpenReasonsTest, MissingDevicesBadNamesAndPlainFiles) {
    PortOpenFailure failure = failureOpening("/dev/pelorin-no-such-port");
    EXPECT_EQ(failure.reason, Reason::NoSuchDevice);
    EXPECT_EQ(failure.systemError, ENOENT);
    EXPECT_EQ(failure.path, "/dev/pelorin-no-such-port");

    failure = failureOpening("COM0:");
    EXPECT_EQ(failure.reason, Reason::BadName);
    EXPECT_EQ(failure.name, "COM0:");

    testing::TemporaryFolder folder("pelorin-port-reasons");
    const auto file = (folder.path() / "plain").string();
    std::ofstream(file) << "not a terminal";
    EXPECT_EQ(failureOpening(file).reason, Reason::NotATerminal);
}

TEST(PortOpenReasonsTest, PortHeldByAnotherProcessIsInUse) {
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    int ready[2], release[2];
    ASSERT_EQ(::pipe2(ready, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(release, O_CLOEXEC), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::close(ready[0]);
        ::close(release[1]);  // so that the parent's close ends the wait below
        auto port = makePosixSerialPortOpener()->open(pty.path);
        const char byte = port ? 1 : 0;
        [[maybe_unused]] ssize_t n = ::write(ready[1], &byte, 1);
        char wait;
        n = ::read(release[0], &wait, 1);
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 1) << "the other process got the port";
    const PortOpenFailure failure = failureOpening(pty.path);
    EXPECT_EQ(failure.reason, Reason::InUse);
    EXPECT_NE(describePortOpenFailure(failure).find("in use by another program"), std::string::npos);
    ::close(release[1]);
    ::close(release[0]);
    int status = 0;
    ::waitpid(holder, &status, 0);
    for (int fd : {ready[0], ready[1]}) ::close(fd);
    EXPECT_NE(makePosixSerialPortOpener()->open(pty.path), nullptr) << "free again once the holder is gone";
}

TEST(PortOpenReasonsTest, DeviceWithoutPermissionNamesTheGroupThatMayUseIt) {
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    if (::geteuid() != 0) {
        // Not root: the device cannot go to another group, but it can be shut.
        ASSERT_EQ(::chmod(pty.path.c_str(), 0), 0);
        const PortOpenFailure failure = failureOpening(pty.path);
        EXPECT_EQ(failure.reason, Reason::PermissionDenied);
        EXPECT_EQ(failure.group, "");
        return;
    }
    // Read and write for a group that is not root's (nogroup), tried as
    // nobody without groups (root would be let in anyway).
    ASSERT_EQ(::chown(pty.path.c_str(), static_cast<uid_t>(-1), 65534), 0);
    ASSERT_EQ(::chmod(pty.path.c_str(), 0660), 0);
    const auto tryAsNobody = [&pty] {
        return inChild([&pty] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65533) != 0 || ::setuid(65534) != 0)
                return std::string("cannot drop privileges");
            const PortOpenFailure failure = failureOpening(pty.path);
            return std::to_string(static_cast<int>(failure.reason)) + " " + failure.group;
        });
    };
    const group* nogroup = ::getgrgid(65534);
    ASSERT_NE(nogroup, nullptr);
    EXPECT_EQ(tryAsNobody(), std::to_string(static_cast<int>(Reason::PermissionDenied)) + " " + nogroup->gr_name);

    // Only the owner may use it: no group would help.
    ASSERT_EQ(::chmod(pty.path.c_str(), 0600), 0);
    EXPECT_EQ(tryAsNobody(), std::to_string(static_cast<int>(Reason::PermissionDenied)) + " ");
}

}  // namespace
}  // namespace pelorin
