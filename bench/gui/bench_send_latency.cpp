// How long a send from the editor takes, from the click on "Send" in the send
// dialog to the outcome box (the iteration time, and click_to_outcome_box_ms),
// reply-driven (argument 0, the editor's default) and with the fixed waits of
// Settings (argument 1). Beside it, the editor's own share around the phone
// dialogue: from the click to the first byte written to the line, and from the
// read that brings the phone's last "OK" to the outcome box. Runs against
// pelorin-phone on a pseudo-terminal, on Qt's offscreen platform.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdlib>

#include "dialogs/picture_send_dialog.h"
#include "dialogs/simple_send_dialog.h"
#include "document/document.h"
#include "document/user_messages.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "settings/memory_settings_store.h"
#include "sms/send_commands.h"
#include "sms/simulated_phone.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace pelorin;

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The moments the line was used, stamped by the port as the worker uses it.
struct LineTimes {
    std::atomic<Clock::rep> firstWrite{0};
    std::atomic<Clock::rep> lastDelivery{0};
    void reset() {
        firstWrite = 0;
        lastDelivery = 0;
    }
};

class TimedPort final : public SerialPort {
public:
    TimedPort(std::unique_ptr<SerialPort> port, LineTimes& times) : port_(std::move(port)), times_(times) {}
    void write(std::span<const std::uint8_t> bytes) override {
        Clock::rep none = 0;
        times_.firstWrite.compare_exchange_strong(none, Clock::now().time_since_epoch().count());
        port_->write(bytes);
    }
    bool read(std::uint8_t* buffer, std::size_t max, std::size_t& received) override {
        const bool ok = port_->read(buffer, max, received);
        if (received > 0) times_.lastDelivery = Clock::now().time_since_epoch().count();
        return ok;
    }
    void close() override { port_->close(); }

private:
    std::unique_ptr<SerialPort> port_;
    LineTimes& times_;
};

class TimedOpener final : public SerialPortOpener {
public:
    explicit TimedOpener(LineTimes& times) : real_(makePosixSerialPortOpener()), times_(times) {}
    std::unique_ptr<SerialPort> open(const std::string& name) override {
        auto port = real_->open(name);
        if (!port) return nullptr;
        return std::make_unique<TimedPort>(std::move(port), times_);
    }

private:
    std::unique_ptr<SerialPortOpener> real_;
    LineTimes& times_;
};

class TimedMessages final : public UserMessages {
public:
    void showMessage(const std::string& text) override {
        shownAt = Clock::now();
        last = text;
        ++count;
    }
    Clock::time_point shownAt;
    std::string last;
    int count = 0;
};

Clock::time_point fromRep(Clock::rep rep) { return Clock::time_point(Clock::duration(rep)); }

// Clicks "Send" in the modal dialog of type T once it is up, after `prepare`.
template <class T, class Prepare>
void clickSendWhenUp(Clock::time_point& clickedAt, Prepare prepare) {
    auto* timer = new QTimer;
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, [timer, &clickedAt, prepare] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        prepare(*dialog);
        clickedAt = Clock::now();
        QTest::mouseClick(dialog->template findChild<QPushButton*>("send"), Qt::LeftButton);
    });
    timer->start();
}

struct Setup {
    LineTimes times;
    TimedMessages messages;
    MemorySettingsStore settings;
    CPelorinDoc doc;
    std::unique_ptr<SimulatedPhone> phone;
    QTemporaryDir store;
    QWidget host;
};

Setup* setup = nullptr;

void runAndTime(benchmark::State& state, const std::function<void(SendCommands&, Clock::time_point&)>& send,
                const char* success) {
    SendLink link{std::make_shared<TimedOpener>(setup->times), std::make_shared<RealSleeper>(),
                  setup->phone->port().toStdString()};
    setup->doc.fixedWaits = static_cast<std::int32_t>(state.range(0));
    SendCommands commands(&setup->host, setup->doc, setup->settings, setup->messages, link);
    double sumTotal = 0;
    double worstTotal = 0;
    double worstFirstByte = 0;
    double worstOutcome = 0;
    double sumFirstByte = 0;
    double sumOutcome = 0;
    for (auto _ : state) {
        setup->times.reset();
        const int before = setup->messages.count;
        Clock::time_point clickedAt;
        send(commands, clickedAt);
        while (setup->messages.count == before) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        if (setup->messages.last != success) {
            state.SkipWithError(("send failed: " + setup->messages.last).c_str());
            break;
        }
        const double firstByte = msBetween(clickedAt, fromRep(setup->times.firstWrite.load()));
        const double outcome = msBetween(fromRep(setup->times.lastDelivery.load()), setup->messages.shownAt);
        const double total = msBetween(clickedAt, setup->messages.shownAt);
        state.SetIterationTime(total / 1000.0);
        sumTotal += total;
        worstTotal = std::max(worstTotal, total);
        sumFirstByte += firstByte;
        sumOutcome += outcome;
        worstFirstByte = std::max(worstFirstByte, firstByte);
        worstOutcome = std::max(worstOutcome, outcome);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["click_to_outcome_box_ms"] = n > 0 ? sumTotal / n : 0;
    state.counters["worst_click_to_outcome_box_ms"] = worstTotal;
    state.counters["send_to_first_byte_ms"] = n > 0 ? sumFirstByte / n : 0;
    state.counters["last_ok_to_outcome_ms"] = n > 0 ? sumOutcome / n : 0;
    state.counters["worst_first_byte_ms"] = worstFirstByte;
    state.counters["worst_outcome_ms"] = worstOutcome;
}

void BM_GroupGraphicSend(benchmark::State& state) {
    runAndTime(
        state,
        [](SendCommands& commands, Clock::time_point& clickedAt) {
            clickSendWhenUp<SimpleSendDialog>(clickedAt, [](SimpleSendDialog&) {});
            commands.sendGroupGraphic();
        },
        "Logo was successfully sent");
}

void BM_PictureMessageSend(benchmark::State& state) {
    runAndTime(
        state,
        [](SendCommands& commands, Clock::time_point& clickedAt) {
            clickSendWhenUp<PictureSendDialog>(clickedAt, [](PictureSendDialog& dialog) {
                QTest::keyClicks(dialog.findChild<QPlainTextEdit*>("messageText"), "Timing");
            });
            commands.sendPictureMessage();
        },
        "Picture message was successfully sent");
}

BENCHMARK(BM_GroupGraphicSend)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PictureMessageSend)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_GroupGraphicSend)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PictureMessageSend)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Setup local;
    QString why;
    local.phone = SimulatedPhone::start(PELORIN_PHONE_PATH, local.store.path(), why, {"--quiet"});
    if (!local.phone) {
        fprintf(stderr, "bench_send_latency: %s\n", why.toLocal8Bit().constData());
        return 1;
    }
    setup = &local;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    while (runningSendWorkers() > 0) QTest::qWait(5);
    return 0;
}
