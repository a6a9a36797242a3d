#pragma once

// A pseudo-terminal whose slave side stands in for the phone's serial port.
// The phone keeps its own descriptor of the slave open, so that a terminal
// program closing the device does not hang up the master and the next open
// of the slave path finds everything as before.

#include <string>

#include "phone/result.h"

namespace pelorin::phone {

class PseudoTerminal {
public:
    // Opens the master, grants and unlocks the slave and puts the slave in raw
    // mode (no echo, no translation of line ends, 8-bit characters). The
    // master is non-blocking.
    static Result<PseudoTerminal> open();

    PseudoTerminal(PseudoTerminal&& other) noexcept;
    PseudoTerminal& operator=(PseudoTerminal&& other) noexcept;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // Opens the phone's own slave descriptor again (after the slave was hung
    // up) and puts the line back in raw mode.
    bool reopenSlave();
    // Closes both sides: whoever has the slave open sees the line hang up.
    void close();

private:
    PseudoTerminal() = default;

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// Raw mode for a terminal descriptor: what is written arrives unchanged.
bool makeRaw(int fd);

}  // namespace pelorin::phone
