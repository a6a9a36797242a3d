#include <cstring>

#include "platform/serial_port.h"

namespace pelorin {

namespace {

std::string systemReason(int error) {
    return error == 0 ? std::string() : " (" + std::string(std::strerror(error)) + ")";
}

}  // namespace

std::string describePortOpenFailure(const PortOpenFailure& failure) {
    using Reason = PortOpenFailure::Reason;
    const std::string device = failure.path.empty() ? failure.name : failure.path;
    const std::string why = systemReason(failure.systemError);
    // "COM3:" already ends in a colon.
    const std::string lead = device + (device.ends_with(':') ? " " : ": ");
    switch (failure.reason) {
        case Reason::None:
            return {};
        case Reason::BadName:
            return "\"" + failure.name +
                   "\" is not a port name: use COM1: to COM256: or a device path such as /dev/ttyUSB0";
        case Reason::NoSuchDevice:
            return lead + "no such device" + why +
                   "; check the port name and that the phone or its cable is plugged in";
        case Reason::PermissionDenied:
            if (!failure.group.empty()) {
                return lead + "permission denied" + why + "; the user is not in the group that owns the device (" +
                       failure.group + "): add the user to it (sudo usermod -aG " + failure.group +
                       " $USER) and log in again";
            }
            return lead + "permission denied" + why +
                   "; the device is not open to the user's groups: serial ports usually belong to the group "
                   "dialout (sudo usermod -aG dialout $USER, then log in again)";
        case Reason::InUse:
            return lead + "in use by another program" + why +
                   "; close that program first, for example a modem manager holding the port "
                   "(sudo systemctl stop ModemManager)";
        case Reason::NotATerminal:
            return lead + "not a serial device";
        case Reason::Other:
            break;
    }
    return lead + "cannot be opened" + why;
}

}  // namespace pelorin
