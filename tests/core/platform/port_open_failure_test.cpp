#include <gtest/gtest.h>

#include <cerrno>

#include "platform/serial_port.h"

namespace pelorin {
namespace {

TEST(PortOpenFailureTest, EachReasonSaysWhatToDo) {
    using Reason = PortOpenFailure::Reason;
    PortOpenFailure failure;
    failure.name = "COM3:";
    failure.path = "/dev/ttyS2";

    failure.reason = Reason::NoSuchDevice;
    failure.systemError = ENOENT;
    EXPECT_EQ(describePortOpenFailure(failure),
              "/dev/ttyS2: no such device (No such file or directory); check the port name and that the phone or "
              "its cable is plugged in");

    failure.reason = Reason::PermissionDenied;
    failure.systemError = EACCES;
    failure.group = "uucp";
    EXPECT_EQ(describePortOpenFailure(failure),
              "/dev/ttyS2: permission denied (Permission denied); the user is not in the group that owns the device "
              "(uucp): add the user to it (sudo usermod -aG uucp $USER) and log in again");
    failure.group.clear();  // a device only its owner may use
    EXPECT_EQ(describePortOpenFailure(failure),
              "/dev/ttyS2: permission denied (Permission denied); the device is not open to the user's groups: "
              "serial ports usually belong to the group dialout (sudo usermod -aG dialout $USER, then log in again)");

    failure.reason = Reason::InUse;
    failure.systemError = EBUSY;
    EXPECT_EQ(describePortOpenFailure(failure),
              "/dev/ttyS2: in use by another program (Device or resource busy); close that program first, for "
              "example a modem manager holding the port (sudo systemctl stop ModemManager)");

    failure = {Reason::BadName, 0, "COM0:", "", ""};
    EXPECT_EQ(describePortOpenFailure(failure),
              "\"COM0:\" is not a port name: use COM1: to COM256: or a device path such as /dev/ttyUSB0");
    EXPECT_EQ(describePortOpenFailure({}), "");
}

}  // namespace
}  // namespace pelorin
