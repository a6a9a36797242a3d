// Sending from the editor through an SMS centre: the simulated phone's own
// (pelorin-phone --smpp) as the far end, Tools > Settings choosing it, the
// password asked in the editor, one number and several; and the runner of
// the phone tasks.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "dialogs/settings_dialog.h"
#include "dialogs/simple_send_dialog.h"
#include "document/document.h"
#include "gui_test_helpers.h"
#include "platform/cancel_token.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "settings/line_settings.h"
#include "settings/memory_settings_store.h"
#include "sms/phone_import.h"
#include "sms/phone_tasks.h"
#include "sms/send_commands.h"
#include "sms/send_events.h"
#include "sms/simulated_phone.h"
#include "support/loopback.h"
#include "support/phone_store.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

using testing::child;
using testing::WatchingMessages;
using testing::whenModal;

// What the progress dialogs said of the recipients, in order.
class RecipientRecorder final : public QObject {
public:
    RecipientRecorder() { qApp->installEventFilter(this); }
    ~RecipientRecorder() override { qApp->removeEventFilter(this); }
    std::vector<std::string> lines;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (qobject_cast<SendProgressDialog*>(watched) != nullptr && event->type() == WM_SEND_RECIPIENT)
            lines.push_back(static_cast<SendEvent*>(event)->text().value_or("(none)"));
        return false;
    }
};

class CentreSendTest : public ::testing::Test {
protected:
    CentreSendTest() {
        // Answers every password dialog of the test with `answer` (or
        // cancels it when that is empty), counting them.
        passwordWatch.setInterval(5);
        QObject::connect(&passwordWatch, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible()) return;
            ++passwordDialogs;
            EXPECT_EQ(dialog->labelText().toStdString(), "Password for " + address);
            EXPECT_EQ(dialog->textEchoMode(), QLineEdit::Password);
            if (answer.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->setTextValue(answer);
            dialog->accept();
        });
        passwordWatch.start();
    }

    void start(const QStringList& faults = {}) {
        const std::uint16_t port = testing::freeLoopbackPort();
        QString why;
        phone = SimulatedPhone::start(
            PELORIN_PHONE_PATH, QString::fromStdString(store.path().string()), why,
            QStringList{"--quiet", "--smpp", QString::number(port), "--smpp-account", "camp:pw"} + faults);
        ASSERT_TRUE(phone) << why.toStdString();
        address = "smpp://camp@127.0.0.1:" + std::to_string(port);
        for (int x = 0; x < doc.operatorCanvas.width(); ++x)
            for (int y = 0; y < doc.operatorCanvas.height(); ++y) doc.operatorCanvas.set(x, y, (x + 2 * y) % 5 == 0);
        rememberSendThrough(doc, settings, kSendThroughCentre, address);
        // The phone's port is not where these sends go.
        link = SendLink{makePosixSerialPortOpener(), std::make_shared<ScaledSleeper>(0.1), "/nonexistent/port"};
    }
    void TearDown() override {
        EXPECT_TRUE(testing::waitUntil([] { return runningSendWorkers() == 0; }, 5000));
    }

    // A group graphic to `to` (as typed) through the command, the password
    // dialog answered with `password` if it comes; the outcome box's text.
    std::string sendGroupGraphic(SendCommands& commands, const QString& to, const QString& password = "pw") {
        messages.shown.clear();
        whenModal<SimpleSendDialog>([to](SimpleSendDialog& dialog) {
            testing::retype(child<QLineEdit>(dialog, "number"), to);
            QTest::mouseClick(child<QPushButton>(dialog, "send"), Qt::LeftButton);
        });
        answer = password;
        commands.sendGroupGraphic();
        EXPECT_TRUE(testing::waitUntil([this] { return !messages.shown.empty(); }));
        return messages.shown.empty() ? std::string() : messages.shown.back();
    }

    std::map<std::string, int> storedNumbers() const {
        std::map<std::string, int> counts;
        for (const auto& entry : testing::readPhoneLog(store.path())) ++counts[entry.at("number")];
        return counts;
    }

    testing::TemporaryFolder store{"pelorin-gui-centre"};
    std::unique_ptr<SimulatedPhone> phone;
    std::string address;
    MemorySettingsStore settings;
    CPelorinDoc doc;
    WatchingMessages messages;
    SendLink link;
    QWidget host;
    int passwordDialogs = 0;
    QString answer;
    QTimer passwordWatch;
};

TEST_F(CentreSendTest, ALogoThroughTheCentreArrivesInItsStoreAsDrawn) {
    start();
    SendCommands commands(&host, doc, settings, messages, link);
    EXPECT_EQ(sendGroupGraphic(commands, "+4917012345"), "Logo was successfully sent");
    const auto lines = testing::readPhoneLog(store.path());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].at("number"), "+4917012345");
    EXPECT_EQ(lines[0].at("kind"), "group-graphic");
    const Canvas& canvas = doc.operatorCanvas;
    EXPECT_EQ(testing::pictureMismatch(testing::readPhonePicture(store.path(), lines[0].at("file")), canvas.width(),
                                       canvas.height(), [&](int x, int y) { return canvas.isSet(x, y); }),
              "");
    // The password went nowhere near the settings.
    for (const auto& [key, value] : settings.values()) EXPECT_EQ(value.find("pw"), std::string::npos) << value;
}

// Several numbers in one session, one refused by the centre: the count in
// the outcome with the refusal listed; the progress dialog said which number
// it was at. Without a secret service the password is asked once a run: a
// second send does not ask again, and a new run (new commands) does.
TEST_F(CentreSendTest, SeveralNumbersGiveTheCountWithEachFailureAndThePasswordIsAskedOnceARun) {
    start({"--smpp-fail", "666=ESME_RINVDSTADR"});
    RecipientRecorder recorder;
    {
        SendCommands commands(&host, doc, settings, messages, link);
        EXPECT_EQ(sendGroupGraphic(commands, "+4917012345; 666, 0170 2"),
                  "Logo was sent to 2 of 3 numbers\n"
                  "666: Message send error (ESME_RINVDSTADR: invalid destination address)");
        EXPECT_EQ(settings.find("Last", "Number"), "+4917012345, 666, 01702");
        ASSERT_FALSE(recorder.lines.empty());
        EXPECT_EQ(recorder.lines.back(), "Sending to 3 of 3");
        EXPECT_EQ(storedNumbers(), (std::map<std::string, int>{{"+4917012345", 1}, {"01702", 1}}));
        EXPECT_EQ(sendGroupGraphic(commands, "01703"), "Logo was successfully sent");
        EXPECT_EQ(passwordDialogs, 1);
    }
    SendCommands nextRun(&host, doc, settings, messages, link);
    EXPECT_EQ(sendGroupGraphic(nextRun, "01704"), "Logo was successfully sent");
    EXPECT_EQ(passwordDialogs, 2);
}

// A wrong password ends the session with the centre's reason and is not
// kept: the next send asks again. A dialog cancelled sends nothing and says
// nothing.
TEST_F(CentreSendTest, AWrongPasswordGivesTheReasonAndIsAskedAgainAndACancelledOneSendsNothing) {
    start();
    SendCommands commands(&host, doc, settings, messages, link);
    const std::string outcome = sendGroupGraphic(commands, "+4917012345", "wrong");
    EXPECT_EQ(outcome.substr(0, outcome.find('\n')), "Error in connection");
    EXPECT_NE(outcome.find("bind"), std::string::npos) << outcome;
    EXPECT_EQ(sendGroupGraphic(commands, "+4917012345"), "Logo was successfully sent");
    EXPECT_EQ(passwordDialogs, 2);

    SendCommands nextRun(&host, doc, settings, messages, link);
    whenModal<SimpleSendDialog>([](SimpleSendDialog& dialog) { dialog.accept(); });
    answer.clear();
    messages.shown.clear();
    nextRun.sendGroupGraphic();
    QTest::qWait(50);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(storedNumbers().size(), 1u);
}

// In a run with the simulated phone its centre stands in for the stored
// one, with its own password: nothing is asked.
TEST_F(CentreSendTest, TheSimulatedPhonesCentreStandsInForTheStoredOne) {
    start();
    link.centreOverride = address;
    link.centrePassword = "pw";
    rememberSendThrough(doc, settings, kSendThroughCentre, "smpp://camp@192.0.2.1");
    SendCommands commands(&host, doc, settings, messages, link);
    EXPECT_EQ(sendGroupGraphic(commands, "+4917012345"), "Logo was successfully sent");
    EXPECT_EQ(passwordDialogs, 0);
    EXPECT_EQ(storedNumbers(), (std::map<std::string, int>{{"+4917012345", 1}}));
}

// Several numbers through the phone go one after another, each job a whole
// dialogue.
TEST_F(CentreSendTest, SeveralNumbersOverThePhoneGoOneAfterAnother) {
    start();
    rememberSendThrough(doc, settings, kSendThroughPhone, address);
    link.portOverride = phone->port().toStdString();
    RecipientRecorder recorder;
    SendCommands commands(&host, doc, settings, messages, link);
    EXPECT_EQ(sendGroupGraphic(commands, "01701, 01702"), "Logo was sent to 2 of 2 numbers");
    EXPECT_EQ(passwordDialogs, 0);
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{"Sending to 1 of 2", "Sending to 2 of 2"}));
    const auto lines = testing::readPhoneLog(store.path());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].at("number"), "01701");
    EXPECT_EQ(lines[1].at("number"), "01702");
}

// "Send through" and the address in Tools > Settings: a bad address is said
// in the dialog, which stays open; a good one is stored with the choice.
TEST(CentreSettingsTest, TheAddressIsCheckedInTheDialogAndStoredWithTheChoice) {
    struct Case {
        const char* typed;
        int through;          // the item chosen
        const char* problem;  // the start of what the dialog says; empty: accepted
    };
    const Case cases[] = {
        {"smpp://camp@127.0.0.1:2775", 1, ""},
        {"kannel://tester@gateway?smsc=camp", 1, ""},
        {"", 0, ""},
        {"smpp://camp:pw@host", 1, "the SMS centre address must not hold the password"},
        {"http://host/", 1, "the SMS centre address begins with smpp:// or kannel://"},
        {"", 1, "Give the SMS centre's address"},
        {"smpp://sixteen-characters@host", 0, "the system id"},
    };
    for (const Case& c : cases) {
        CPelorinDoc doc;
        MemorySettingsStore store;
        bool stayedOpen = false;
        std::string said;
        whenModal<SettingsDialog>([&](SettingsDialog& dialog) {
            testing::pickItem(child<QComboBox>(dialog, "sendThrough"),
                              c.through == 1 ? "SMS centre" : "Phone on serial port");
            auto* edit = child<QLineEdit>(dialog, "smscAddress");
            edit->setEnabled(true);
            testing::retype(edit, c.typed);
            QTest::mouseClick(child<QPushButton>(dialog, "ok"), Qt::LeftButton);
            stayedOpen = dialog.isVisible();
            said = child<QLabel>(dialog, "smscProblem")->isVisible()
                       ? child<QLabel>(dialog, "smscProblem")->text().toStdString()
                       : "";
            if (stayedOpen) dialog.reject();
        });
        runSettingsCommand(nullptr, doc, store, {});
        EXPECT_EQ(stayedOpen, *c.problem != '\0') << c.typed;
        EXPECT_EQ(said.substr(0, std::string_view(c.problem).size()), c.problem) << c.typed << ": " << said;
        if (*c.problem != '\0') {
            EXPECT_FALSE(store.find("Settings", "SmscAddress")) << c.typed;
        } else {
            EXPECT_EQ(store.find("Settings", "SmscAddress"), c.typed);
            EXPECT_EQ(store.find("Settings", "SendThrough"), std::to_string(c.through));
        }
    }
}

}  // namespace
}  // namespace pelorin

namespace pelorin {
namespace {

// Every phone task is counted and stopped by the one cancel, each through
// its own token; a task cancelled on its own ends alone.
TEST(PhoneTasksTest, OneCountAndOneCancelForEveryTask) {
    ASSERT_EQ(runningPhoneTasks(), 0);
    std::atomic<int> ended{0};
    const auto waitForCancel = [&ended](const CancelToken& cancel) {
        while (!cancel.cancelled()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ++ended;
    };
    auto own = std::make_shared<CancelToken>();
    ASSERT_TRUE(startPhoneTask(waitForCancel, own));
    ASSERT_TRUE(startPhoneTask(waitForCancel));
    ASSERT_TRUE(startPhoneTask(waitForCancel));
    EXPECT_EQ(runningPhoneTasks(), 3);
    own->cancel();
    EXPECT_TRUE(testing::waitUntil([] { return runningPhoneTasks() == 2; }, 5000));
    EXPECT_EQ(ended.load(), 1);
    cancelPhoneTasks();
    EXPECT_TRUE(testing::waitUntil([] { return runningPhoneTasks() == 0; }, 5000));
    EXPECT_EQ(ended.load(), 3);
    // The send workers and the phone readers are counted by the same count.
    EXPECT_EQ(runningSendWorkers(), 0);
    EXPECT_EQ(runningPhoneReaders(), 0);
}

}  // namespace
}  // namespace pelorin
