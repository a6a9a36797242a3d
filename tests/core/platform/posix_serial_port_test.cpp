#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "support/unprivileged.h"

namespace pelorin {
namespace {

// A pseudo-terminal whose slave side plays the serial device; the test keeps
// the master side as the far end of the line.
class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        const char* name = ::ptsname(master_);
        if (name != nullptr) slavePath_ = name;
    }
    ~PseudoTerminal() { closeMaster(); }

    bool ready() const { return master_ >= 0 && !slavePath_.empty(); }
    const std::string& slavePath() const { return slavePath_; }

    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    void send(const std::vector<std::uint8_t>& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Everything that arrives at the master within timeoutMs of quiet.
    std::vector<std::uint8_t> receive(int timeoutMs) {
        std::vector<std::uint8_t> bytes;
        pollfd entry{master_, POLLIN, 0};
        while (::poll(&entry, 1, timeoutMs) > 0 && (entry.revents & POLLIN) != 0) {
            std::uint8_t chunk[256];
            const ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n <= 0) break;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

private:
    int master_ = -1;
    std::string slavePath_;
};

// Reads until want bytes came or a few empty reads in a row.
std::vector<std::uint8_t> readFromPort(SerialPort& port, std::size_t want) {
    std::vector<std::uint8_t> bytes;
    for (int quiet = 0; bytes.size() < want && quiet < 5;) {
        std::uint8_t buffer[64];
        std::size_t received = 0;
        if (!port.read(buffer, sizeof buffer, received)) break;
        if (received == 0) ++quiet;
        bytes.insert(bytes.end(), buffer, buffer + received);
    }
    return bytes;
}

TEST(PortNameTest, ComNamesMapToSerialDevices) {
    EXPECT_EQ(devicePathForPortName("COM1:"), "/dev/ttyS0");
    EXPECT_EQ(devicePathForPortName("COM3:"), "/dev/ttyS2");
    EXPECT_EQ(devicePathForPortName("COM10:"), "/dev/ttyS9");
    EXPECT_EQ(devicePathForPortName("/dev/ttyUSB0"), "/dev/ttyUSB0");
    // A stored name in any case names the same port.
    EXPECT_EQ(devicePathForPortName("com2:"), "/dev/ttyS1");
    EXPECT_EQ(devicePathForPortName("Com3:"), "/dev/ttyS2");
    EXPECT_EQ(devicePathForPortName("cOm256:"), "/dev/ttyS255");
    for (const char* bad : {"COM0:", "COM1", "com1", "com0:", "CON1:", "C0M1:", "COM:", "COM-1:", "COM1a:",
                            "COM99999999999999999999:", "ttyS0", "dev/ttyS0", ""}) {
        EXPECT_EQ(devicePathForPortName(bad), "") << bad;
    }
    EXPECT_EQ(devicePathForPortName(std::string("/dev/ttyS0\0x", 12)), "");
}

TEST(PosixSerialPortTest, PassesRawBytesBothWays) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ready());
    auto opener = makePosixSerialPortOpener();
    auto port = opener->open(pty.slavePath());
    ASSERT_NE(port, nullptr);

    // Outgoing: no CR/NL translation, control characters as they are.
    const std::vector<std::uint8_t> out = {'A', 'T', 0x0D, 0x0A, 0x1A, 0x03, 0x1B, 0x0A};
    port->write(out);
    EXPECT_EQ(pty.receive(200), out);

    // Incoming: no CR to NL, no signal for Ctrl-C, no line editing, no echo.
    const std::vector<std::uint8_t> in = {0x1A, 0x0D, 0x03, 0x7F, 0x15, 'O', 'K', 0x00, 0x0D, 0x0A};
    pty.send(in);
    EXPECT_EQ(readFromPort(*port, in.size()), in);
    EXPECT_TRUE(pty.receive(100).empty()) << "nothing is echoed";
}

TEST(PosixSerialPortTest, WritesLongRunsWhole) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ready());
    auto port = makePosixSerialPortOpener()->open(pty.slavePath());
    ASSERT_NE(port, nullptr);
    std::vector<std::uint8_t> out(1500);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<std::uint8_t>('0' + i % 10);
    out.push_back(0x1A);
    port->write(out);
    EXPECT_EQ(pty.receive(200), out);
}

TEST(PosixSerialPortTest, ReadWithNothingWaitingReturnsEmptySoon) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ready());
    auto port = makePosixSerialPortOpener()->open(pty.slavePath());
    ASSERT_NE(port, nullptr);
    std::uint8_t buffer[16];
    std::size_t received = 99;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port->read(buffer, sizeof buffer, received));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(received, 0u);
    EXPECT_GE(elapsed, std::chrono::milliseconds(90));
    EXPECT_LT(elapsed, std::chrono::milliseconds(1500));  // generous: the machine may be busy
}

TEST(PosixSerialPortTest, ReadTakesNoMoreThanAsked) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ready());
    auto port = makePosixSerialPortOpener()->open(pty.slavePath());
    ASSERT_NE(port, nullptr);
    pty.send({'1', '2', '3', '4', '5'});
    std::uint8_t buffer[8] = {0};
    std::size_t received = 0;
    ASSERT_TRUE(port->read(buffer, 2, received));
    EXPECT_EQ(received, 2u);
    EXPECT_EQ(buffer[2], 0);
    EXPECT_EQ(readFromPort(*port, 3), (std::vector<std::uint8_t>{'3', '4', '5'}));
}

TEST(PosixSerialPortTest, DeviceIsForOneUserAtATime) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ready());
    auto opener = makePosixSerialPortOpener();
    auto first = opener->open(pty.slavePath());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(opener->open(pty.slavePath()), nullptr);
    first->close();
    first->close();  // closing twice is harmless
    EXPECT_NE(opener->open(pty.slavePath()), nullptr) << "free again once closed";
}

bool sameSettings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           std::equal(std::begin(a.c_cc), std::end(a.c_cc), std::begin(b.c_cc)) &&
           ::cfgetispeed(&a) == ::cfgetispeed(&b) && ::cfgetospeed(&a) == ::cfgetospeed(&b);
}

TEST(PosixSerialPortTest, ClosingGivesTheTerminalBackAsItWas) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ready());
    // Held open throughout, as the far end's program or a modem daemon would.
    const int other = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    termios before{};
    ASSERT_EQ(::tcgetattr(other, &before), 0);
    ASSERT_NE(before.c_lflag & ICANON, 0u) << "a fresh terminal edits lines";

    auto opener = makePosixSerialPortOpener();
    for (int round = 0; round < 2; ++round) {
        auto port = opener->open(pty.slavePath());
        ASSERT_NE(port, nullptr) << round;
        termios during{};
        ASSERT_EQ(::tcgetattr(other, &during), 0);
        EXPECT_EQ(during.c_lflag & (ICANON | ECHO), 0u) << "raw while open";
        int exclusive = 0;
        ASSERT_EQ(::ioctl(other, TIOCGEXCL, &exclusive), 0);
        EXPECT_NE(exclusive, 0) << "for one user while open";
        port->close();

        termios after{};
        ASSERT_EQ(::tcgetattr(other, &after), 0);
        EXPECT_TRUE(sameSettings(before, after)) << round;
        ASSERT_EQ(::ioctl(other, TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 0) << "open to others again";
    }

    // A port this program could not get leaves the holder's settings and flag alone.
    auto holder = opener->open(pty.slavePath());
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(opener->open(pty.slavePath()), nullptr);
    termios held{};
    ASSERT_EQ(::tcgetattr(other, &held), 0);
    EXPECT_EQ(held.c_lflag & ICANON, 0u);
    int exclusive = 0;
    ASSERT_EQ(::ioctl(other, TIOCGEXCL, &exclusive), 0);
    EXPECT_NE(exclusive, 0);
    holder.reset();
    ::close(other);
}

TEST(PosixSerialPortTest, AnOrdinaryUserOpensTheSamePortAgainAndAgain) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ready());
    ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0666), 0);
    const int other = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);  // the far end keeps it open
    ASSERT_GE(other, 0);
    const auto run = testing::runUnprivileged([&pty]() -> std::string {
        auto opener = makePosixSerialPortOpener();
        for (int round = 1; round <= 3; ++round) {
            auto port = opener->open(pty.slavePath());
            if (!port) return "open " + std::to_string(round) + " failed";
            port->close();
        }
        return {};
    });
    ::close(other);
    if (!run.ran) GTEST_SKIP() << run.skipReason;
    EXPECT_EQ(run.failures, "");
}

TEST(PosixSerialPortTest, OpensOnlyExistingTerminals) {
    auto opener = makePosixSerialPortOpener();
    EXPECT_EQ(opener->open("/dev/pelorin-no-such-device"), nullptr);
    EXPECT_EQ(opener->open("pelorin-relative-name"), nullptr);
    EXPECT_EQ(opener->open(""), nullptr);

    // A plain file is not a serial line: it is refused and left as it was.
    char path[] = "/tmp/pelorin-port-test-XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "keep", 4), 4);
    ::close(fd);
    EXPECT_EQ(opener->open(path), nullptr);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), "keep");
    std::remove(path);
}

TEST(PosixSerialPortTest, ReadFailsOnceTheDeviceGoesAway) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ready());
    auto port = makePosixSerialPortOpener()->open(pty.slavePath());
    ASSERT_NE(port, nullptr);
    pty.closeMaster();
    std::uint8_t buffer[16];
    std::size_t received = 0;
    EXPECT_FALSE(port->read(buffer, sizeof buffer, received));
    EXPECT_FALSE(port->read(buffer, sizeof buffer, received));
    port->write(std::vector<std::uint8_t>{'A', 'T'});  // must neither block nor crash
    port->close();
    EXPECT_FALSE(port->read(buffer, sizeof buffer, received)) << "a closed port reads nothing";
}

}  // namespace
}  // namespace pelorin
