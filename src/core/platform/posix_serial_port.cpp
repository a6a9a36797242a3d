// Serial devices through POSIX: a terminal device opened for exclusive use,
// switched to raw bytes, with reads that give up after about 100 ms. Closing
// gives the device back as it was found: its settings restored and open to
// others again.

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

#include "platform/serial_port.h"

namespace pelorin {

namespace {

// How long a read waits for the first byte to arrive.
constexpr int kReadWaitMs = 100;
// How long a write waits for room on the line before it gives up.
constexpr int kWriteStallMs = 5000;
// Windows numbers serial ports from COM1 to COM256.
constexpr unsigned long kHighestComNumber = 256;

// Raw bytes in both directions: no echo, no line editing, no signals, no
// translation of CR, NL or any other character, 8 data bits. The line speed is
// left as the system has it. CLOCAL keeps a cable without carrier detect from
// hanging the line up; CREAD lets the receiver take bytes at all.
void makeRaw(termios& settings) {
    settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
    settings.c_cflag |= static_cast<tcflag_t>(CS8 | CLOCAL | CREAD);
    // The descriptor is non-blocking and reads wait in poll(), so a read takes
    // whatever is there and never waits inside read() itself.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
}

// The name of the group that owns a device node, when joining that group
// would let the user in (it may read and write, and it is not root's);
// otherwise "".
std::string owningGroup(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return {};
    if ((status.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP) || status.st_gid == 0) return {};
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(status.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) return {};
    return found->gr_name;
}

class PosixSerialPort final : public SerialPort {
public:
    explicit PosixSerialPort(int fd) : fd_(fd) {}
    ~PosixSerialPort() override { close(); }

    // The settings to put back on close, once they have been changed.
    void rememberSettings(const termios& original) {
        original_ = original;
        restoreSettings_ = true;
    }
    // The exclusive-use flag is ours to clear on close.
    void rememberExclusive() { clearExclusive_ = true; }

    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    void write(std::span<const std::uint8_t> bytes) override {
        std::size_t done = 0;
        while (fd_ >= 0 && done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                if (!waitFor(POLLOUT, kWriteStallMs)) return;
                continue;
            }
            return;  // the line is gone; the dialogue sees no reply
        }
    }

    bool read(std::uint8_t* buffer, std::size_t max, std::size_t& received) override {
        received = 0;
        if (fd_ < 0) return false;

        pollfd entry{fd_, POLLIN, 0};
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadWaitMs);
        int ready = 0;
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            ready = ::poll(&entry, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
            if (ready >= 0 || errno != EINTR) break;
        }
        if (ready < 0) return false;
        if (ready == 0) return true;  // nothing arrived in time
        if ((entry.revents & POLLNVAL) != 0) return false;
        if ((entry.revents & POLLIN) == 0) return false;  // hang-up or error with nothing to read
        if (max == 0) return (entry.revents & (POLLHUP | POLLERR)) == 0;

        for (;;) {
            const ssize_t n = ::read(fd_, buffer, max);
            if (n > 0) {
                received = static_cast<std::size_t>(n);
                return true;
            }
            if (n == 0) return false;  // end of file: the device went away
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return (entry.revents & (POLLHUP | POLLERR)) == 0;
            return false;  // EIO after a hang-up, or any other failure
        }
    }

    void close() override {
        if (fd_ < 0) return;
        if (restoreSettings_) ::tcsetattr(fd_, TCSANOW, &original_);
        // The flag stays on the terminal after this descriptor is gone for as
        // long as anything else holds it open (a modem daemon, the other end's
        // program), and would keep every later open by an ordinary user out.
        if (clearExclusive_) ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);  // also drops the advisory lock
        fd_ = -1;
    }

private:
    bool waitFor(short events, int timeoutMs) {
        pollfd entry{fd_, events, 0};
        for (;;) {
            const int ready = ::poll(&entry, 1, timeoutMs);
            if (ready > 0) return (entry.revents & events) != 0;
            if (ready == 0) return false;
            if (errno != EINTR) return false;
        }
    }

    int fd_;
    termios original_{};
    bool restoreSettings_ = false;
    bool clearExclusive_ = false;
};

// The reason an open failed, from the errno of the call that failed.
std::nullptr_t failed(PortOpenFailure& failure, int error) {
    using Reason = PortOpenFailure::Reason;
    failure.systemError = error;
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTDIR:
            failure.reason = Reason::NoSuchDevice;
            break;
        case EACCES:
        case EPERM:
            failure.reason = Reason::PermissionDenied;
            failure.group = owningGroup(failure.path);
            break;
        case EBUSY:
        case EWOULDBLOCK:
            failure.reason = Reason::InUse;
            break;
        case ENOTTY:
            failure.reason = Reason::NotATerminal;
            break;
        default:
            failure.reason = Reason::Other;
    }
    return nullptr;
}

class PosixSerialPortOpener final : public SerialPortOpener {
public:
    std::unique_ptr<SerialPort> open(const std::string& name) override {
        PortOpenFailure ignored;
        return openExplaining(name, ignored);
    }

    std::unique_ptr<SerialPort> openExplaining(const std::string& name, PortOpenFailure& failure) override {
        failure = {};
        failure.name = name;
        const std::string path = devicePathForPortName(name);
        failure.path = path;
        if (path.empty()) {
            failure.reason = PortOpenFailure::Reason::BadName;
            return nullptr;
        }

        // No O_CREAT: only a device that exists. Non-blocking so that the open
        // does not wait for a carrier and reads never hang.
        int fd = -1;
        do {
            fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return failed(failure, errno);
        auto port = std::make_unique<PosixSerialPort>(fd);

        // Only a terminal device: anything else (a plain file, a pipe) would
        // take the commands as data written into it.
        termios settings{};
        if (!::isatty(fd) || ::tcgetattr(fd, &settings) != 0) return failed(failure, ENOTTY);

        // Exclusive use. TIOCEXCL keeps ordinary users out but not root, so an
        // advisory lock is taken as well; a port already locked by another
        // user of this program is busy. Nothing is undone on a failure before
        // the lock is ours: the flag and the settings belong to its holder.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return failed(failure, errno);
        // A flag some other program set (root gets past it) is left for that
        // program to clear.
        int alreadyExclusive = 0;
        if (::ioctl(fd, TIOCGEXCL, &alreadyExclusive) != 0) alreadyExclusive = 0;
        if (::ioctl(fd, TIOCEXCL) != 0) return failed(failure, errno);
        if (alreadyExclusive == 0) port->rememberExclusive();

        const termios original = settings;
        makeRaw(settings);
        port->rememberSettings(original);
        if (::tcsetattr(fd, TCSANOW, &settings) != 0) return failed(failure, errno);
        // Replies that an earlier session left unread would otherwise count
        // as answers to this job's first command.
        ::tcflush(fd, TCIOFLUSH);
        return port;
    }
};

}  // namespace

std::unique_ptr<SerialPortOpener> makePosixSerialPortOpener() { return std::make_unique<PosixSerialPortOpener>(); }

std::string devicePathForPortName(const std::string& name) {
    if (name.find('\0') != std::string::npos) return {};
    if (!name.empty() && name.front() == '/') return name;

    // "COMn:" with n a plain decimal number from 1; the letters in any case,
    // as a stored "com2:" names the same port.
    const auto isLetter = [&name](std::size_t at, char upper) {
        return name[at] == upper || name[at] == static_cast<char>(upper - 'A' + 'a');
    };
    if (name.size() < 5 || !isLetter(0, 'C') || !isLetter(1, 'O') || !isLetter(2, 'M') || name.back() != ':') return {};
    const std::string digits = name.substr(3, name.size() - 4);
    if (digits.size() > 3) return {};
    unsigned long number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return {};
        number = number * 10 + static_cast<unsigned long>(c - '0');
    }
    if (number < 1 || number > kHighestComNumber) return {};
    return "/dev/ttyS" + std::to_string(number - 1);
}

}  // namespace pelorin
