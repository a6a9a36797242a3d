#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace pelorin {

// Ends the editor in order when the system asks it to quit (SIGINT, SIGTERM,
// SIGHUP): running phone tasks are cancelled, each stops at its next wait
// and gives its port back (a phone waiting for a PDU is sent ESC), and once
// none is left quit is called with 128 + the signal's number. The handler
// only writes the signal's number into a pipe that the event loop watches.
// One object at a time; the signals' earlier handling is put back when it
// goes.
class QuitOnSignals final : public QObject {
public:
    explicit QuitOnSignals(std::function<void(int status)> quit);
    ~QuitOnSignals() override;
    QuitOnSignals(const QuitOnSignals&) = delete;
    QuitOnSignals& operator=(const QuitOnSignals&) = delete;

    // false when the pipe or the handlers could not be set up.
    bool installed() const { return notifier_ != nullptr; }

private:
    void signalArrived();
    void quitWhenWorkersAreDone();

    std::function<void(int)> quit_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer poll_;
    int signal_ = 0;
};

}  // namespace pelorin
