#pragma once

// Finding the phone: each serial device asked whether it answers AT, and
// what maker and model it names.

#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace pelorin {

struct PortProbe {
    enum class State { Answers, Silent, Busy, NoAccess, Failed };
    std::string path;
    State state = State::Failed;
    std::string identity;  // what ATI and AT+CGMM name, printable ASCII only (answering ports)
    std::string detail;    // why it failed (State::Failed)
};

// "answers", "silent", "busy (in use by another program)", "no access (join
// group dialout)" or "cannot be used: ...".
std::string describeProbeState(const PortProbe& probe);

// One port: opened exclusively or not at all (a port that another program
// holds, also one that root could get into, is left alone), asked AT, and when
// it answers, ATI and AT+CGMM, each answer waited for at most waitMs; closed
// again with its settings given back.
PortProbe probePort(const std::string& path, SerialPortOpener& opener, int waitMs = 1000);

// Every path probed at once, each on a thread of its own; in the order given.
std::vector<PortProbe> probePorts(const std::vector<std::string>& paths, SerialPortOpener& opener, int waitMs = 1000);

// The identity lines of a reply to command: what is neither its echo, nor
// empty, nor the final result; printable ASCII only, joined by spaces, at
// most 80 characters.
std::string identityLines(std::string_view reply, std::string_view command);

}  // namespace pelorin
