// The editor against a pelorin-phone with one quirk of the phones people own
// at a time: the PIN asked in its dialog, the SMS centre number and slow
// writes from the Settings, a busy SIM, the log of the line; and "Find
// phone" in the Settings dialog.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>

#include "dialogs/pin_dialog.h"
#include "dialogs/settings_dialog.h"
#include "dialogs/simple_send_dialog.h"
#include "document/document.h"
#include "gui_test_helpers.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "settings/memory_settings_store.h"
#include "sms/send_commands.h"
#include "sms/simulated_phone.h"
#include "support/answering_pty.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

using testing::child;
using testing::WatchingMessages;
using testing::whenModal;

const std::string kSent = "Logo was successfully sent";
const std::string kNoCentreAdvice =
    "The phone has no SMS centre number: set one in Tools > Settings (your operator's, such as +491722270333)";

struct QuirkRow {
    const char* name;
    QStringList phone;
    std::function<void(CPelorinDoc&)> settings;
    std::optional<QString> typedPin;  // typed in the PIN dialog; nothing: the dialog is cancelled
    int pinDialogs;                   // how many PIN dialogs come up
    std::string outcome;
};

class ModemQuirksEditorTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_STATE_HOME", state_.path().c_str(), 1); }
    void TearDown() override {
        EXPECT_TRUE(testing::waitUntil([] { return runningSendWorkers() == 0; }, 5000));
        ::unsetenv("XDG_STATE_HOME");
    }

    // Sends a group graphic from the editor to a phone with the given switches.
    std::string send(const QuirkRow& row, int& pinDialogs) {
        testing::TemporaryFolder store("pelorin-gui-quirks");
        QString why;
        QStringList switches{"--quiet"};
        switches += row.phone;
        auto phone =
            SimulatedPhone::start(PELORIN_PHONE_PATH, QString::fromStdString(store.path().string()), why, switches);
        if (!phone) return "no phone: " + why.toStdString();
        MemorySettingsStore settings;
        settings.writeString("Last", "Number", "+4917012345");
        CPelorinDoc doc(settings);
        if (row.settings) row.settings(doc);
        WatchingMessages messages;
        QWidget host;
        SendLink link{makePosixSerialPortOpener(), std::make_shared<RealSleeper>(), phone->port().toStdString()};
        SendCommands commands(&host, doc, settings, messages, link);
        pinDialogs = 0;
        // Answers every PIN dialog that comes up while this send runs.
        QTimer pinWatch;
        pinWatch.setInterval(5);
        QObject::connect(&pinWatch, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<PinDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible() || dialog->property("answered").toBool()) return;
            dialog->setProperty("answered", true);
            ++pinDialogs;
            auto* edit = child<QLineEdit>(*dialog, "pin");
            EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
            if (row.typedPin) {
                QTest::keyClicks(edit, "x" + *row.typedPin + "9999");  // a letter and digits past eight are not taken
                EXPECT_EQ(edit->text().size(), 8);
                retypePin(edit, *row.typedPin);
                QTest::mouseClick(child<QPushButton>(*dialog, "ok"), Qt::LeftButton);
            } else {
                QTest::mouseClick(child<QPushButton>(*dialog, "cancel"), Qt::LeftButton);
            }
        });
        pinWatch.start();
        whenModal<SimpleSendDialog>(
            [](SimpleSendDialog& dialog) { QTest::mouseClick(child<QPushButton>(dialog, "send"), Qt::LeftButton); });
        commands.sendGroupGraphic();
        EXPECT_TRUE(testing::waitUntil([&] { return !messages.shown.empty(); }, 30000)) << row.name;
        return messages.shown.empty() ? std::string("(no outcome)") : messages.shown.front();
    }

    static void retypePin(QLineEdit* edit, const QString& pin) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, pin.left(3));
        EXPECT_FALSE(edit->parentWidget()->findChild<QPushButton*>("ok")->isEnabled()) << "3 digits are too few";
        QTest::keyClicks(edit, pin.mid(3));
    }

    pelorin::testing::TemporaryFolder state_{"pelorin-gui-state"};
};

TEST_F(ModemQuirksEditorTest, EachQuirkEndsWellOrWithItsMessage) {
    const std::vector<QuirkRow> rows = {
        {"PIN typed", {"--pin", "4711"}, {}, QString("4711"), 1, kSent},
        {"wrong PIN typed once",
         {"--pin", "4711"},
         {},
         QString("1111"),
         1,
         "Wrong SIM PIN\nThe SIM refused the PIN (+CME ERROR: 16, incorrect password); it is not tried again, since "
         "three wrong PINs lock the SIM"},
        {"PIN dialog cancelled",
         {"--pin", "4711"},
         {},
         std::nullopt,
         1,
         "The SIM wants its PIN\nThe SIM wants its PIN; no PIN was given"},
        {"centre number in the settings",
         {"--no-smsc-number"},
         [](CPelorinDoc& doc) { doc.smsCentre = "+491722270333"; },
         std::nullopt,
         0,
         kSent},
        {"no centre number", {"--no-smsc-number"}, {}, std::nullopt, 0, "Message send error\n" + kNoCentreAdvice},
        {"slow writes", {"--drops-fast-writes"}, [](CPelorinDoc& doc) { doc.slowWrites = 1; }, std::nullopt, 0, kSent},
        {"fast writes",
         {"--drops-fast-writes"},
         {},
         std::nullopt,
         0,
         "Message send error\nThe phone answered +CMS ERROR: 304: invalid PDU mode parameter (3GPP TS 27.005)"},
        {"SIM busy for a second", {"--sim-busy-for", "1"}, {}, std::nullopt, 0, kSent},
        {"PIN, then busy", {"--pin", "4711", "--sim-busy-for", "1"}, {}, QString("4711"), 1, kSent},
    };
    for (const auto& row : rows) {
        int dialogs = 0;
        std::string outcome = send(row, dialogs);
        // A loaded machine may hand the phone two slow pieces at once.
        for (int again = 0; again < 2 && row.name == std::string("slow writes") && outcome != kSent; ++again)
            outcome = send(row, dialogs);
        EXPECT_EQ(outcome, row.outcome) << row.name;
        EXPECT_EQ(dialogs, row.pinDialogs) << row.name;
        EXPECT_EQ(outcome.find("4711"), std::string::npos);
        EXPECT_EQ(outcome.find("1111"), std::string::npos);
    }
}

TEST_F(ModemQuirksEditorTest, AFailedSendNamesItsLogWhichNeverHoldsThePin) {
    const QuirkRow row{"logged", {"--pin", "4711"}, [](CPelorinDoc& doc) { doc.lineLog = 1; }, QString("1234"), 1, ""};
    int dialogs = 0;
    const std::string outcome = send(row, dialogs);
    const std::string marker = "\nThe log of the phone dialogue is ";
    const auto at = outcome.find(marker);
    ASSERT_NE(at, std::string::npos) << outcome;
    EXPECT_EQ(outcome.substr(0, at),
              "Wrong SIM PIN\nThe SIM refused the PIN (+CME ERROR: 16, incorrect password); it "
              "is not tried again, since three wrong PINs lock the SIM");
    const std::filesystem::path log = outcome.substr(at + marker.size());
    EXPECT_EQ(log.parent_path(), state_.path() / "pelorin" / "line-logs");
    const std::string text = testing::readFileText(log);
    EXPECT_NE(text.find("> AT+CPIN=\"****\"<0D><0A>"), std::string::npos) << text;
    EXPECT_NE(text.find("< AT+CPIN=\"****\"<0D><0D><0A>+CME ERROR: 16<0D><0A>"), std::string::npos) << text;
    EXPECT_EQ(text.find("1234"), std::string::npos);

    // Twelve more sends keep the ten newest logs.
    const QuirkRow plain{"plain", {}, [](CPelorinDoc& doc) { doc.lineLog = 1; }, std::nullopt, 0, kSent};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(send(plain, dialogs), kSent);
    std::size_t logs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(log.parent_path())) logs += entry.is_regular_file();
    EXPECT_EQ(logs, 10u);
    EXPECT_FALSE(std::filesystem::exists(log)) << "the oldest went";
}

TEST_F(ModemQuirksEditorTest, SettingsFindThePhoneAndKeepTheNewChoices) {
    QString why;
    testing::TemporaryFolder store("pelorin-gui-find");
    auto phone = SimulatedPhone::start(PELORIN_PHONE_PATH, QString::fromStdString(store.path().string()), why,
                                       {"--quiet", "--model", "SIMCOM SIM800"});
    ASSERT_TRUE(phone) << why.toStdString();
    testing::AnsweringPty silent("");
    MemorySettingsStore settings;
    CPelorinDoc doc(settings);
    const std::vector<std::string> devices{silent.devicePath(), phone->port().toStdString()};
    std::vector<std::string> listed;
    whenModal<SettingsDialog>([&](SettingsDialog& dialog) {
        QTest::mouseClick(child<QPushButton>(dialog, "findPhone"), Qt::LeftButton);
        EXPECT_TRUE(testing::waitUntil([&] { return !dialog.findingPhone(); }, 10000));
        auto* found = child<QListWidget>(dialog, "foundPorts");
        for (int i = 0; i < found->count(); ++i) listed.push_back(found->item(i)->text().toStdString());
        EXPECT_EQ(child<QComboBox>(dialog, "portList")->currentText(), phone->port());
        QTest::keyClicks(child<QLineEdit>(dialog, "smsCentre"), "+49 172-227");  // only "+" and digits are taken
        for (const char* box : {"slowWrites", "lineLog"}) {
            child<QCheckBox>(dialog, box)->setFocus();
            QTest::keyClick(child<QCheckBox>(dialog, box), Qt::Key_Space);
        }
        QTest::mouseClick(child<QPushButton>(dialog, "ok"), Qt::LeftButton);
    });
    runSettingsCommand(nullptr, doc, settings, devices);
    ASSERT_EQ(listed.size(), 6u);
    EXPECT_EQ(listed[4], silent.devicePath() + ": silent");
    EXPECT_EQ(listed[5], phone->port().toStdString() + ": answers, SIMCOM SIM800");
    EXPECT_EQ(doc.comPort, phone->port().toStdString());
    EXPECT_EQ(settings.find("Settings", "SmsCentre"), "+49172227");
    EXPECT_EQ(settings.find("Settings", "SlowWrites"), "1");
    EXPECT_EQ(settings.find("Settings", "LineLog"), "1");
    EXPECT_EQ(doc.smsCentre, "+49172227");
    EXPECT_EQ(doc.slowWrites, 1);
    EXPECT_EQ(doc.lineLog, 1);
}

}  // namespace
}  // namespace pelorin
