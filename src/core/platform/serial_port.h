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

class SerialPortOpener {
public:
    virtual ~SerialPortOpener() = default;

    // Opens the device for exclusive use; nullptr when it cannot be opened.
    virtual std::unique_ptr<SerialPort> open(const std::string& name) = 0;
};

// Serial devices of this machine by their POSIX device nodes.
std::unique_ptr<SerialPortOpener> makePosixSerialPortOpener();

// "COMn:" (n >= 1, the letters in any case) is /dev/ttyS(n-1); a name beginning with "/" is a device
// path used as it is. Any other name gives an empty string.
std::string devicePathForPortName(const std::string& name);

}  // namespace pelorin
