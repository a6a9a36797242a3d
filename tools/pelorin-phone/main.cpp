// pelorin-phone: a simulated GSM phone on a pseudo-terminal. See --help.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <system_error>

#include "arguments.h"
#include "phone/inbox.h"
#include "phone/modem.h"
#include "phone/pseudo_terminal.h"
#include "phone/recipient.h"
#include "phone/smpp_centre.h"

namespace {

using pelorin::phone::Modem;

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
}

bool installSignals() {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    if (::sigaction(SIGTERM, &action, nullptr) != 0 || ::sigaction(SIGINT, &action, nullptr) != 0) return false;
    ::signal(SIGPIPE, SIG_IGN);
    return true;
}

// The symbolic link named by --link; removed again when the phone ends, as
// long as it still points at this phone's device.
class DeviceLink {
public:
    DeviceLink() = default;
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;
    ~DeviceLink() { remove(); }

    bool make(const std::filesystem::path& link, const std::string& target, std::string& why) {
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::symlink_status(link, error)) &&
            !std::filesystem::is_symlink(std::filesystem::symlink_status(link, error))) {
            why = link.string() + " exists and is not a symbolic link";
            return false;
        }
        std::filesystem::path temporary = link;
        temporary += ".pelorin-phone-" + std::to_string(::getpid());
        std::filesystem::remove(temporary, error);
        std::filesystem::create_symlink(target, temporary, error);
        if (!error) std::filesystem::rename(temporary, link, error);
        if (error) {
            std::filesystem::remove(temporary, error);
            why = link.string() + ": " + error.message();
            return false;
        }
        link_ = link;
        target_ = target;
        return true;
    }

    void remove() {
        if (link_.empty()) return;
        std::error_code error;
        if (std::filesystem::read_symlink(link_, error) == target_ && !error) std::filesystem::remove(link_, error);
        link_.clear();
    }

private:
    std::filesystem::path link_;
    std::filesystem::path target_;
};

// What the phone has said waits until the terminal side takes it, however
// long an answer is. While more than this waits unread, the phone reads no
// further input (as a modem holds its line with flow control), so that a host
// that writes without reading cannot make it hold more.
constexpr std::size_t kMaxUnsent = 64 * 1024;

enum class Ending { Signal, StdinClosed, HungUp, Failure };

struct RunOptions {
    bool watchStdin = false;      // standard input is read at all
    bool exitOnStdinEof = false;  // its end ends the phone
    bool inboxFromStdin = false;  // its lines are messages arriving
    bool quiet = false;
    int transcript = -1;
};

// Standard input: messages that arrive (--inbox-from-stdin) or just its end.
bool readStdin(Modem& modem, pelorin::phone::InboxLineReader& lines, const RunOptions& options) {
    char buffer[4096];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got < 0) return errno == EINTR || errno == EAGAIN;
    if (got == 0) return false;
    if (!options.inboxFromStdin) return true;
    for (auto& line : lines.add(std::string_view(buffer, static_cast<std::size_t>(got)))) {
        if (!line.message) {
            std::cerr << "pelorin-phone: standard input line " << line.number << ": " << line.message.error()
                      << std::endl;
        } else if (line.message.value()) {
            modem.receiveMessage(std::move(*line.message.value()), Modem::Clock::now());
        }
    }
    return true;
}

Ending run(pelorin::phone::PseudoTerminal& terminal, Modem& modem, const RunOptions& options) {
    std::string unsent;
    bool stdinOpen = options.watchStdin;
    pelorin::phone::InboxLineReader stdinLines;
    for (;;) {
        const auto now = Modem::Clock::now();
        unsent += modem.takeOutput(now);
        for (const auto& note : modem.takeNotes()) {
            if (!options.quiet) std::cerr << "pelorin-phone: " << note << std::endl;
        }
        if (modem.hangUpRequested()) return Ending::HungUp;

        if (!unsent.empty()) {
            const ssize_t written = ::write(terminal.master(), unsent.data(), unsent.size());
            if (written > 0) unsent.erase(0, static_cast<std::size_t>(written));
        }

        int timeout = -1;
        if (modem.hasPendingOutput()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(modem.nextDue() - now).count();
            timeout = static_cast<int>(std::clamp<long long>(wait, 0, 60'000));
        }
        const bool takeInput = unsent.size() < kMaxUnsent;
        const short terminalEvents = static_cast<short>((takeInput ? POLLIN : 0) | (unsent.empty() ? 0 : POLLOUT));
        pollfd fds[3] = {{terminal.master(), terminalEvents, 0},
                         {signalPipe[0], POLLIN, 0},
                         {stdinOpen ? STDIN_FILENO : -1, POLLIN, 0}};
        if (::poll(fds, 3, timeout) < 0) {
            if (errno == EINTR) continue;
            return Ending::Failure;
        }
        if (fds[1].revents != 0) return Ending::Signal;
        if (fds[2].revents != 0 && !readStdin(modem, stdinLines, options)) {
            if (options.exitOnStdinEof) return Ending::StdinClosed;
            stdinOpen = false;
        }
        bool slaveGone = false;
        if ((fds[0].revents & POLLIN) != 0) {
            char buffer[4096];
            const ssize_t got = ::read(terminal.master(), buffer, sizeof buffer);
            if (got > 0) {
                if (options.transcript >= 0) {
                    // Written before the phone answers, so the transcript is complete once the reply is seen.
                    const std::string text =
                        modem.transcriptText(std::string_view(buffer, static_cast<std::size_t>(got)));
                    [[maybe_unused]] const ssize_t kept = ::write(options.transcript, text.data(), text.size());
                }
                modem.receive(std::string_view(buffer, static_cast<std::size_t>(got)), Modem::Clock::now());
            } else if (got < 0 && errno == EIO) {
                slaveGone = true;
            } else if (got < 0 && errno != EAGAIN && errno != EINTR) {
                return Ending::Failure;
            }
        } else if ((fds[0].revents & (POLLHUP | POLLERR)) != 0) {
            slaveGone = true;
        }
        if (slaveGone) {
            // Every slave descriptor is gone (ours was hung up); open ours
            // again so that the device path keeps working, and do not spin.
            if (!terminal.reopenSlave()) return Ending::Failure;
            ::usleep(20'000);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pelorin::phone;
    std::string why;
    const auto arguments = parseArguments(argc, argv, why);
    if (!arguments) {
        std::cerr << "pelorin-phone: " << why << "\nTry pelorin-phone --help.\n";
        return 2;
    }
    if (arguments->help) {
        std::cout << kHelpText;
        return 0;
    }
    std::filesystem::path store;
    if (arguments->store) {
        store = *arguments->store;
        std::error_code error;
        std::filesystem::create_directories(store, error);
        if (error) {
            std::cerr << "pelorin-phone: " << store.string() << ": " << error.message() << "\n";
            return 1;
        }
    } else {
        // A new folder that only this user can enter: a fixed name in a
        // shared folder could have been prepared by someone else.
        const char* temporary = std::getenv("TMPDIR");
        std::string pattern =
            std::string(temporary != nullptr && *temporary == '/' ? temporary : "/tmp") + "/pelorin-phone-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::cerr << "pelorin-phone: cannot make a store folder " << pattern << ": " << std::strerror(errno)
                      << "\n";
            return 1;
        }
        store = pattern;
        if (!arguments->quiet) std::cerr << "pelorin-phone: storing what arrives in " << store.string() << std::endl;
    }
    if (const auto usable = pelorin::phone::checkStoreFolder(store); !usable) {
        std::cerr << "pelorin-phone: " << usable.error() << "\n";
        return 1;
    }
    if (!installSignals()) {
        std::cerr << "pelorin-phone: cannot install signal handlers: " << std::strerror(errno) << "\n";
        return 1;
    }
    auto terminal = PseudoTerminal::open();
    if (!terminal) {
        std::cerr << "pelorin-phone: " << terminal.error() << "\n";
        return 1;
    }
    DeviceLink link;
    if (arguments->link && !link.make(*arguments->link, terminal->slavePath(), why)) {
        std::cerr << "pelorin-phone: " << why << "\n";
        return 1;
    }
    Recipient recipient(store);
    std::mutex recipientLock;  // the SMS centre hands parts over from its own thread
    const bool quiet = arguments->quiet;
    const auto deliver = [&recipient, &recipientLock, quiet](const SubmitMessage& part) {
        const std::lock_guard<std::mutex> hold(recipientLock);
        const Reception reception = recipient.receive(part);
        if (reception.entry && !quiet) std::cerr << "pelorin-phone: " << formatLogLine(*reception.entry) << std::endl;
        if (!reception.storeError.empty()) std::cerr << "pelorin-phone: " << reception.storeError << std::endl;
        return reception.storeError.empty();
    };
    Modem modem(arguments->phone, deliver);
    std::optional<SmppCentre> centre;
    if (arguments->smpp) {
        centre.emplace(*arguments->smpp);
        const auto port = centre->start(deliver);
        if (!port) {
            std::cerr << "pelorin-phone: " << port.error() << "\n";
            return 1;
        }
        if (!quiet)
            std::cerr << "pelorin-phone: SMS centre at smpp://" << arguments->smpp->systemId << "@"
                      << arguments->smpp->host << ":" << port.value() << std::endl;
    }
    // Named once everything listens, so that whoever waits for this line
    // can connect at once.
    std::cout << terminal->slavePath() << std::endl;

    modem.switchOn(Modem::Clock::now());

    int transcript = -1;
    if (arguments->transcript) {
        transcript = ::open(arguments->transcript->c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (transcript < 0) {
            std::cerr << "pelorin-phone: " << arguments->transcript->string() << ": " << std::strerror(errno) << "\n";
            return 1;
        }
    }
    RunOptions options;
    options.exitOnStdinEof = arguments->exitOnStdinEof;
    options.inboxFromStdin = arguments->inboxFromStdin;
    options.watchStdin = options.exitOnStdinEof || options.inboxFromStdin;
    options.quiet = quiet;
    options.transcript = transcript;
    const Ending ending = run(terminal.value(), modem, options);
    if (transcript >= 0) ::close(transcript);
    if (centre) centre->stop();
    terminal->close();
    link.remove();
    // A folder made for this run that received nothing is not left behind.
    if (!arguments->store) ::rmdir(store.c_str());
    if (ending == Ending::Failure) {
        std::cerr << "pelorin-phone: terminal failure: " << std::strerror(errno) << "\n";
        return 1;
    }
    return 0;
}
