#include "phone/pseudo_terminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace pelorin::phone {

namespace {

std::string failure(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

bool makeRaw(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return false;
    ::cfmakeraw(&settings);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

Result<PseudoTerminal> PseudoTerminal::open() {
    PseudoTerminal terminal;
    terminal.master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal.master_ < 0) return Result<PseudoTerminal>::failure(failure("posix_openpt"));
    if (::grantpt(terminal.master_) != 0) return Result<PseudoTerminal>::failure(failure("grantpt"));
    if (::unlockpt(terminal.master_) != 0) return Result<PseudoTerminal>::failure(failure("unlockpt"));
    char name[256];
    if (::ptsname_r(terminal.master_, name, sizeof name) != 0) {
        return Result<PseudoTerminal>::failure(failure("ptsname_r"));
    }
    terminal.slavePath_ = name;
    if (!terminal.reopenSlave()) return Result<PseudoTerminal>::failure(failure("opening the slave"));
    const int flags = ::fcntl(terminal.master_, F_GETFL);
    if (flags < 0 || ::fcntl(terminal.master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        return Result<PseudoTerminal>::failure(failure("fcntl"));
    }
    return terminal;
}

PseudoTerminal::PseudoTerminal(PseudoTerminal&& other) noexcept
    : master_(std::exchange(other.master_, -1)),
      slave_(std::exchange(other.slave_, -1)),
      slavePath_(std::move(other.slavePath_)) {}

PseudoTerminal& PseudoTerminal::operator=(PseudoTerminal&& other) noexcept {
    if (this != &other) {
        close();
        master_ = std::exchange(other.master_, -1);
        slave_ = std::exchange(other.slave_, -1);
        slavePath_ = std::move(other.slavePath_);
    }
    return *this;
}

PseudoTerminal::~PseudoTerminal() { close(); }

bool PseudoTerminal::reopenSlave() {
    if (slave_ >= 0) ::close(std::exchange(slave_, -1));
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) return false;
    return makeRaw(slave_);
}

void PseudoTerminal::close() {
    if (slave_ >= 0) ::close(std::exchange(slave_, -1));
    if (master_ >= 0) ::close(std::exchange(master_, -1));
}

}  // namespace pelorin::phone
