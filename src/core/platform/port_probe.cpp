#include "platform/port_probe.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <thread>

#include "platform/clock.h"
#include "sms/at_reply.h"

namespace pelorin {

namespace {

constexpr std::size_t kMaxIdentity = 80;
constexpr std::size_t kMaxReply = 1024;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Whether another program has set the terminal's exclusive flag: root would
// get past it, and a port that is someone else's is never written to.
bool exclusiveElsewhere(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;  // the opener says why
    int exclusive = 0;
    const bool held = ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
    ::close(fd);
    return held;
}

// Writes command and reads until a final result or waitMs; the reply, or
// nothing when the port failed.
std::optional<std::string> ask(SerialPort& port, std::string_view command, int waitMs) {
    port.write(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(command.data()), command.size()));
    SteadyClock clock;
    const std::int64_t deadline = clock.nowMs() + waitMs;
    std::string reply;
    std::uint8_t buffer[256];
    while (clock.nowMs() < deadline) {
        std::size_t got = 0;
        if (!port.read(buffer, sizeof buffer, got)) return std::nullopt;
        reply.append(reinterpret_cast<const char*>(buffer), std::min(got, sizeof buffer));
        if (reply.size() > kMaxReply) reply.erase(0, reply.size() - kMaxReply);
        if (scanReply(reply, false) == ReplyEnd::Final) break;
    }
    return reply;
}

bool answeredOk(std::string_view reply) {
    if (scanReply(reply, false) != ReplyEnd::Final) return false;
    return !findPhoneError(reply) && reply.find("ERROR") == std::string_view::npos;
}

}  // namespace

std::string describeProbeState(const PortProbe& probe) {
    switch (probe.state) {
        case PortProbe::State::Answers:
            return "answers";
        case PortProbe::State::Silent:
            return "silent";
        case PortProbe::State::Busy:
            return "busy (in use by another program)";
        case PortProbe::State::NoAccess:
            return "no access (join group dialout)";
        case PortProbe::State::Failed:
            break;
    }
    return "cannot be used: " + probe.detail;
}

std::string identityLines(std::string_view reply, std::string_view command) {
    std::string out;
    std::size_t start = 0;
    const std::string_view echo = trimmed(command.substr(0, command.find_first_of("\r\n")));
    for (std::size_t i = 0; i <= reply.size(); ++i) {
        if (i < reply.size() && reply[i] != '\r' && reply[i] != '\n') continue;
        std::string_view line = trimmed(reply.substr(start, i - start));
        start = i + 1;
        if (line.empty() || line == echo || line == "OK" || line == "ERROR" || line.starts_with("+CME ERROR") ||
            line.starts_with("+CMS ERROR"))
            continue;
        if (line.starts_with("+CGMM:")) line = trimmed(line.substr(6));
        for (char c : line) {
            if (c < 0x20 || c >= 0x7F || (c == ' ' && !out.empty() && out.back() == ' ')) continue;
            out.push_back(c);
        }
        if (!out.empty() && out.back() != ' ') out.push_back(' ');
        if (out.size() >= kMaxIdentity) break;
    }
    out.resize(std::min(out.size(), kMaxIdentity));
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

PortProbe probePort(const std::string& path, SerialPortOpener& opener, int waitMs) {
    PortProbe probe;
    probe.path = path;
    if (exclusiveElsewhere(path)) {
        probe.state = PortProbe::State::Busy;
        return probe;
    }
    PortOpenFailure failure;
    auto port = opener.openExplaining(path, failure);
    if (!port) {
        switch (failure.reason) {
            case PortOpenFailure::Reason::InUse:
                probe.state = PortProbe::State::Busy;
                break;
            case PortOpenFailure::Reason::PermissionDenied:
                probe.state = PortProbe::State::NoAccess;
                break;
            default:
                probe.state = PortProbe::State::Failed;
                probe.detail = describePortOpenFailure(failure);
        }
        return probe;
    }
    const auto first = ask(*port, "AT\r", waitMs);
    if (!first || !answeredOk(*first)) {
        probe.state = PortProbe::State::Silent;
        port->close();
        return probe;
    }
    probe.state = PortProbe::State::Answers;
    std::string identity;
    if (const auto info = ask(*port, "ATI\r", waitMs); info && answeredOk(*info))
        identity = identityLines(*info, "ATI");
    if (const auto model = ask(*port, "AT+CGMM\r", waitMs); model && answeredOk(*model)) {
        const std::string named = identityLines(*model, "AT+CGMM");
        if (!named.empty() && identity.find(named) == std::string::npos)
            identity += (identity.empty() ? "" : " ") + named;
    }
    probe.identity = identity.substr(0, kMaxIdentity);
    port->close();
    return probe;
}

std::vector<PortProbe> probePorts(const std::vector<std::string>& paths, SerialPortOpener& opener, int waitMs) {
    std::vector<PortProbe> probes(paths.size());
    std::vector<std::thread> threads;
    threads.reserve(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
        threads.emplace_back([&, i] { probes[i] = probePort(paths[i], opener, waitMs); });
    for (auto& thread : threads) thread.join();
    return probes;
}

}  // namespace pelorin
