// The editor asked to quit by a signal in the middle of a send, against the
// simulated phone at the real waits.

#include <gtest/gtest.h>
#include <signal.h>

#include <QPushButton>
#include <QTimer>

#include "app/command_table.h"
#include "app/quit_on_signals.h"
#include "dialogs/simple_send_dialog.h"
#include "gui_fixture.h"
#include "gui_test_helpers.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/send_worker.h"
#include "sms/simulated_phone.h"
#include "support/temp_folder.h"

namespace pelorin::testing {
namespace {

using namespace command;

class QuitOnSignalTest : public EditorFixture {
protected:
    void SetUp() override {
        QString why;
        phone = SimulatedPhone::start(PELORIN_PHONE_PATH, QString::fromStdString(store.path().string()), why,
                                      {"--quiet", "--transcript", QString::fromStdString(transcript)});
        ASSERT_TRUE(phone) << why.toStdString();
        SendLink link{makePosixSerialPortOpener(), std::make_shared<RealSleeper>(), phone->port().toStdString()};
        app = std::make_unique<CPelorinApp>(AppServices{settings, messages, files, link});
        app->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->frame()));
    }
    void TearDown() override {
        EXPECT_TRUE(waitUntil([] { return runningSendWorkers() == 0; }, 5000));
        EditorFixture::TearDown();
    }

    void sendRestoreLogo() {
        whenModal<SimpleSendDialog>([](SimpleSendDialog& dialog) { dialog.findChild<QPushButton*>("send")->click(); });
        frame().action(kSendRestoreOperatorLogo)->trigger();
    }

    TemporaryFolder store{"pelorin-quit-phone"};
    std::string transcript = store.file("transcript");
    std::unique_ptr<SimulatedPhone> phone;
};

TEST_F(QuitOnSignalTest, TheWorkerGivesThePortBackBeforeTheEditorQuits) {
    int quitStatus = 0;
    int workersAtQuit = -1;
    QuitOnSignals quit([&](int status) {
        quitStatus = status;
        workersAtQuit = runningSendWorkers();
    });
    ASSERT_TRUE(quit.installed());

    // Once the phone has the AT+CMGS command, the editor is told to quit,
    // inside the second the dialogue waits before it types the PDU.
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (readFileText(transcript).find("AT+CMGS=") == std::string::npos) return;
        watch.stop();
        QTimer::singleShot(200, [] { ::raise(SIGTERM); });
    });
    watch.start();
    sendRestoreLogo();
    ASSERT_TRUE(waitUntil([&] { return quitStatus != 0; }, 15000));
    EXPECT_EQ(quitStatus, 128 + SIGTERM);
    EXPECT_EQ(workersAtQuit, 0);
    ASSERT_TRUE(waitUntil([this] { return !messages.shown.empty(); }));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Send cancelled"});
    const std::string heard = readFileText(transcript);
    const std::string dialogue = heard.substr(heard.rfind("AT+CMGF=0\r\nAT+CMGS="));
    EXPECT_EQ(dialogue.substr(dialogue.find("\r\n", 11)), "\r\n\x1B") << "ESC at the prompt, nothing else";

    // The phone and the port are ready for the next send at once.
    messages.shown.clear();
    sendRestoreLogo();
    ASSERT_TRUE(waitUntil([this] { return !messages.shown.empty(); }));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Logo was successfully sent"});
}

}  // namespace
}  // namespace pelorin::testing
