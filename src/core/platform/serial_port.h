#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace pelorin {

// One open serial device, used by one send job at a time.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Writes all the bytes. A failure is not reported: the phone dialogue
    // notices it as a missing or unexpected reply.
    virtual void write(std::span<const std::uint8_t> bytes) = 0;

    // Reads what has arrived (waiting at most about 100 ms), up to max bytes.
    // false = the read failed (the device went away or reported an error);
    // true with received == 0 when nothing arrived in time.
    virtual bool read(std::uint8_t* buffer, std::size_t max, std::size_t& received) = 0;

    // Puts the device's terminal settings back as they were before the open
    // and lets others open it again. Idempotent; the destructor closes too.
    virtual void close() = 0;
};

// Why a port did not open, for a line that tells the user what to do.
struct PortOpenFailure {
    enum class Reason { None, BadName, NoSuchDevice, PermissionDenied, InUse, NotATerminal, Other };
    Reason reason = Reason::None;
    int systemError = 0;  // errno of the call that failed; 0 when no call failed
    std::string name;     // the port name as given
    std::string path;     // the device path tried
    std::string group;    // when permission was denied: the group whose members may use the device, if any
};

class SerialPortOpener {
public:
    virtual ~SerialPortOpener() = default;

    // Opens the device for exclusive use; nullptr when it cannot be opened.
    virtual std::unique_ptr<SerialPort> open(const std::string& name) = 0;

    // As open(), and on failure says why. Openers that cannot tell report
    // Reason::Other.
    virtual std::unique_ptr<SerialPort> openExplaining(const std::string& name, PortOpenFailure& failure) {
        auto port = open(name);
        if (!port) {
            failure = {};
            failure.reason = PortOpenFailure::Reason::Other;
            failure.name = name;
        }
        return port;
    }
};

// One line: the system's reason and what to do about it.
std::string describePortOpenFailure(const PortOpenFailure& failure);

// Serial devices of this machine by their POSIX device nodes.
std::unique_ptr<SerialPortOpener> makePosixSerialPortOpener();

// "COMn:" (n >= 1, the letters in any case) is /dev/ttyS(n-1); a name beginning with "/" is a device
// path used as it is. Any other name gives an empty string.
std::string devicePathForPortName(const std::string& name);

}  // namespace pelorin
