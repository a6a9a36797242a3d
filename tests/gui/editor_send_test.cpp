// Sending from the editor as a whole: the Send menu and Tools > Settings of the
// main window, the command line's --simulated-phone, the simulated phone's
// life beside the editor, and a quit asked for by a signal during a send.

#include <gtest/gtest.h>
#include <signal.h>

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/command_line.h"
#include "app/command_table.h"
#include "app/quit_on_signals.h"
#include "dialogs/picture_send_dialog.h"
#include "dialogs/settings_dialog.h"
#include "dialogs/simple_send_dialog.h"
#include "gui_fixture.h"
#include "gui_test_helpers.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/encoding.h"
#include "sms/simulated_phone.h"
#include "support/phone_process.h"
#include "support/phone_store.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace pelorin::testing {
namespace {

using namespace command;

// The editor with a simulated phone as the far end of its sends, at a tenth
// of the real waits.
class EditorSendTest : public PhoneEditorFixture {
protected:
    void SetUp() override { start(std::make_shared<ScaledSleeper>(0.1), {"--quiet"}); }
    void start(std::shared_ptr<Sleeper> sleeper, const QStringList& phoneOptions) {
        // A number to send to: the first run's "+" alone is not one.
        settings.writeString("Last", "Number", "+4917012345");
        startWithPhone(std::move(sleeper), phoneOptions);
    }

    std::string logText() const {
        std::ifstream in(store.path() / "log.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

// An empty number is refused in the dialog: nothing goes to the phone,
// nothing is said to be sent, nothing is remembered. A number typed with
// spaces goes out as its digits.
TEST_F(EditorSendTest, AnEmptyNumberIsNeitherSentNorRememberedAndSpacesAreLeftOut) {
    const auto before = settings.find("Last", "Number");
    frame().action(kViewPicture)->trigger();
    for (QMenu* menu : frame().menus()) emit menu->aboutToShow();
    ASSERT_TRUE(frame().action(kSendPictureMessage)->isEnabled());
    for (const char* number : {"", "+"}) {
        whenModal<PictureSendDialog>([number](PictureSendDialog& dialog) {
            retype(dialog.findChild<QLineEdit*>("number"), number);
            QTest::keyClick(dialog.findChild<QPlainTextEdit*>("messageText"), Qt::Key_Return);
            EXPECT_TRUE(dialog.isVisible());
            dialog.reject();
        });
        messages.shown.clear();
        frame().action(kSendPictureMessage)->trigger();
        EXPECT_EQ(messages.shown, std::vector<std::string>{std::string(kNumberCharactersMessage)}) << number;
    }
    EXPECT_EQ(settings.find("Last", "Number"), before);
    EXPECT_EQ(logText().find("number="), std::string::npos) << logText();

    whenModal<SimpleSendDialog>([](SimpleSendDialog& dialog) {
        retype(dialog.findChild<QLineEdit*>("number"), "0170 123 45");
        dialog.findChild<QPushButton*>("send")->click();
    });
    messages.shown.clear();
    frame().action(kViewOperator)->trigger();
    for (QMenu* menu : frame().menus()) emit menu->aboutToShow();
    ASSERT_TRUE(frame().action(kSendGroupGraphic)->isEnabled());
    frame().action(kSendGroupGraphic)->trigger();
    ASSERT_TRUE(waitUntil([this] { return !messages.shown.empty(); }));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Logo was successfully sent"});
    EXPECT_EQ(settings.find("Last", "Number"), "017012345");
    EXPECT_NE(logText().find("\tnumber=017012345\t"), std::string::npos) << logText();
}

TEST_F(EditorSendTest, PictureDrawnInTheEditorArrivesThroughTheSendMenu) {
    frame().action(kViewPicture)->trigger();
    std::vector<QPoint> across, down;
    for (int x = 1; x <= 5; ++x) across.push_back(cellCentre(x, 1));
    for (int y = 20; y <= 26; ++y) down.push_back(cellCentre(3, y));
    stroke(across);
    stroke(down);
    ASSERT_TRUE(app->document().pictureCanvas.isSet(4, 1));

    whenModal<PictureSendDialog>([](PictureSendDialog& dialog) {
        retype(dialog.findChild<QLineEdit*>("number"), "+4917099");
        QTest::keyClicks(dialog.findChild<QPlainTextEdit*>("messageText"), "Drawn here");
        QTest::keyClick(dialog.findChild<QPlainTextEdit*>("messageText"), Qt::Key_Return);
    });
    for (QMenu* menu : frame().menus()) emit menu->aboutToShow();
    ASSERT_TRUE(frame().action(kSendPictureMessage)->isEnabled());
    frame().action(kSendPictureMessage)->trigger();
    ASSERT_TRUE(waitUntil([this] { return !messages.shown.empty(); }));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Picture message was successfully sent"});
    EXPECT_EQ(settings.find("Last", "Number"), "+4917099");
    // The simulated phone's port is for this run only.
    EXPECT_FALSE(settings.find("Settings", "COMport"));

    const std::string log = logText();
    EXPECT_NE(log.find("kind=picture-message\tsize=72x28\tnumber=+4917099\t"), std::string::npos) << log;
    EXPECT_NE(log.find("\ttext=Drawn here\t"), std::string::npos) << log;
    const auto rows = readPhonePicture(store.path(), "logo-0001");
    const Canvas& drawn = app->document().pictureCanvas;
    EXPECT_EQ(pictureMismatch(rows, 72, 28, [&](int x, int y) { return drawn.isSet(x, y); }), "");
    ASSERT_EQ(rows.size(), 28u);
    EXPECT_EQ(rows[1].substr(0, 7), ".#####.");
    EXPECT_EQ(rows[23].substr(0, 5), "...#.");
}

TEST_F(EditorSendTest, SettingsStoresThePortWhileSendsStayWithTheSimulatedPhone) {
    whenModal<SettingsDialog>([](SettingsDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QComboBox*>("portList")->currentText(), "COM3 (/dev/ttyS2)");
        pickItem(dialog.findChild<QComboBox*>("portList"), "COM2 (/dev/ttyS1)");
        dialog.findChild<QPushButton*>("ok")->click();
    });
    frame().action(kSettings)->trigger();
    EXPECT_EQ(settings.find("Settings", "COMport"), "COM2:");
    EXPECT_EQ(app->document().comPort, "COM2:");

    whenModal<SimpleSendDialog>([](SimpleSendDialog& dialog) { dialog.findChild<QPushButton*>("send")->click(); });
    frame().action(kSendRestoreOperatorLogo)->trigger();
    ASSERT_TRUE(waitUntil([this] { return !messages.shown.empty(); }));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Logo was successfully sent"});
    EXPECT_NE(logText().find("kind=operator-logo"), std::string::npos);
}

TEST(SimulatedPhoneOptionTest, FolderFollowsUnlessItIsAnOptionOrAFile) {
    TemporaryFolder folder("pelorin-phone-option");
    writeFileBytes(folder.path() / "logo.plr", std::vector<std::uint8_t>(126, 0));
    const std::string file = folder.file("logo.plr");

    EXPECT_FALSE(parseCommandLine({"logo.plr"}).simulatedPhone);
    EXPECT_EQ(parseCommandLine({"--simulated-phone"}).simulatedPhone, "");
    const auto withFolder = parseCommandLine({"--simulated-phone", "/tmp/received", file});
    EXPECT_EQ(withFolder.simulatedPhone, "/tmp/received");
    EXPECT_EQ(withFolder.file, file);
    const auto withFile = parseCommandLine({"--simulated-phone", file});
    EXPECT_EQ(withFile.simulatedPhone, "");
    EXPECT_EQ(withFile.file, file);
    EXPECT_EQ(parseCommandLine({"--simulated-phone=" + file}).simulatedPhone, file);
    const auto beforeOption = parseCommandLine({"--simulated-phone", "--version"});
    EXPECT_EQ(beforeOption.simulatedPhone, "");
    EXPECT_EQ(beforeOption.action, StartupRequest::Action::ShowVersion);
}

bool exists(const QString& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path.toStdString(), error));
}

TEST(SimulatedPhoneTest, RunsOnALinkAndIsGoneWithTheObject) {
    QString why;
    auto phone = SimulatedPhone::start(PELORIN_PHONE_PATH, {}, why, {"--quiet"});
    ASSERT_TRUE(phone) << why.toStdString();
    const QString store = phone->storeDir();
    const QString device = phone->devicePath();
    const QString link = phone->port();
    EXPECT_TRUE(std::filesystem::is_directory(store.toStdString()));
    EXPECT_EQ(std::filesystem::read_symlink(link.toStdString()).string(), device.toStdString());
    phone.reset();
    EXPECT_FALSE(exists(link));
    EXPECT_FALSE(exists(device));
    // A store folder made for the run is kept, with what the phone received.
    EXPECT_TRUE(std::filesystem::is_directory(store.toStdString()));
    std::filesystem::remove_all(store.toStdString());

    EXPECT_FALSE(SimulatedPhone::start("/nonexistent/pelorin-phone", {}, why));
    EXPECT_FALSE(why.isEmpty());
}

// The editor names the phone's folder at start; should the editor die, the
// phone goes too.
TEST(SimulatedPhoneTest, EditorNamesTheStoreAndThePhoneEndsWithTheEditor) {
    TemporaryFolder store("pelorin-editor-store");
    PhoneProcess editor(PELORIN_EDITOR_PATH, {"-platform", "offscreen", "--simulated-phone", store.path().string()});
    const std::string line = editor.devicePath();  // its first line of output
    const std::string prefix = "pelorin: simulated phone on ";
    ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
    const std::string device = line.substr(prefix.size(), line.find(',') - prefix.size());
    EXPECT_EQ(line.substr(line.find(',')), ", storing what it receives in " + store.path().string());
    EXPECT_TRUE(exists(QString::fromStdString(device)));
    editor.stop();
    EXPECT_TRUE(waitUntil([&] { return !exists(QString::fromStdString(device)); }, 5000)) << device;
}

// The editor asked to quit by a signal in the middle of a send, at the real
// fixed waits (remembered in Settings).
class QuitOnSignalTest : public EditorSendTest {
protected:
    void SetUp() override {
        settings.writeInt("Settings", "FixedWaits", 1);
        start(std::make_shared<RealSleeper>(), {"--quiet", "--transcript", QString::fromStdString(transcript)});
    }

    void sendRestoreLogo() {
        whenModal<SimpleSendDialog>([](SimpleSendDialog& dialog) { dialog.findChild<QPushButton*>("send")->click(); });
        frame().action(kSendRestoreOperatorLogo)->trigger();
    }

    std::string transcript = store.file("transcript");
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
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Sending stopped"});
    // The phone notes what it hears before it acts on it.
    waitUntil([&] { return readFileText(transcript).ends_with("\x1B"); }, 3000);
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

namespace pelorin::testing {
namespace {

// `pelorin --simulated-phone` runs an SMS centre beside the phone and names
// it: a logo sent there (here by pelorin-cli) lands in the same store.
TEST(SimulatedPhoneTest, TheEditorsSimulatedPhoneIsAlsoAnSmsCentre) {
    TemporaryFolder store("pelorin-editor-centre");
    PhoneProcess editor(PELORIN_EDITOR_PATH, {"-platform", "offscreen", "--simulated-phone", store.path().string()});
    ASSERT_TRUE(editor.started());
    const std::string line = editor.readLine();
    const std::string prefix = "pelorin: simulated SMS centre at ";
    ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
    const std::string address = line.substr(prefix.size(), line.find(" (") - prefix.size());
    EXPECT_EQ(line.substr(line.find(" (")), " (password pelorin)");
    EXPECT_EQ(address.rfind("smpp://pelorin@127.0.0.1:", 0), 0u) << address;
    TemporaryFolder work("pelorin-editor-centre-password");
    std::ofstream(work.file("password")) << "pelorin\n";
    const auto sent = runProcess(PELORIN_CLI_PATH, {"send", "group-graphic", "--smsc", address, "--to", "+4917012345",
                                                    "--password-file", work.file("password")});
    EXPECT_EQ(sent.exitStatus, 0) << sent.out << sent.err;
    const auto lines = readPhoneLog(store.path());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].at("number"), "+4917012345");
    editor.stop();
}

}  // namespace
}  // namespace pelorin::testing
