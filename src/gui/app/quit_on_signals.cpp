#include "app/quit_on_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>

#include "sms/phone_tasks.h"

namespace pelorin {

namespace {

constexpr std::array kQuitSignals{SIGINT, SIGTERM, SIGHUP};
// How often the editor looks whether the cancelled workers have ended.
constexpr int kWorkerPollMs = 20;

int signalPipe[2] = {-1, -1};
struct sigaction earlier[kQuitSignals.size()];

extern "C" void onQuitSignal(int signalNumber) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

QuitOnSignals::QuitOnSignals(std::function<void(int status)> quit) : quit_(std::move(quit)) {
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kQuitSignals.size(); ++i) ::sigaction(kQuitSignals[i], &action, &earlier[i]);
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { signalArrived(); });
    poll_.setInterval(kWorkerPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] { quitWhenWorkersAreDone(); });
}

QuitOnSignals::~QuitOnSignals() {
    if (notifier_ == nullptr) return;
    for (std::size_t i = 0; i < kQuitSignals.size(); ++i) ::sigaction(kQuitSignals[i], &earlier[i], nullptr);
    delete notifier_;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void QuitOnSignals::signalArrived() {
    unsigned char byte = 0;
    while (::read(signalPipe[0], &byte, 1) == 1) {
        if (signal_ == 0) signal_ = byte;
    }
    if (signal_ == 0 || poll_.isActive()) return;
    cancelPhoneTasks();
    poll_.start();
    quitWhenWorkersAreDone();
}

void QuitOnSignals::quitWhenWorkersAreDone() {
    if (runningPhoneTasks() != 0) {
        cancelPhoneTasks();  // also one started after the signal
        return;
    }
    poll_.stop();
    quit_(128 + signal_);
}

}  // namespace pelorin
