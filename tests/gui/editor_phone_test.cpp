// Sending from the editor with the phone's help, over real pseudo-terminals to
// pelorin-phone: reply-driven sends and the remembered fixed waits, the
// reason of a failure in the outcome box, "Stop", and "From phone".

#include <gtest/gtest.h>
#include <unistd.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <atomic>
#include <filesystem>

#include "dialogs/operator_logo_send_dialog.h"
#include "dialogs/picture_send_dialog.h"
#include "dialogs/simple_send_dialog.h"
#include "document/document.h"
#include "gui_test_helpers.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "settings/memory_settings_store.h"
#include "sms/inbox_reader.h"
#include "sms/phone_dialogue.h"
#include "sms/received_messages.h"
#include "sms/send_commands.h"
#include "sms/send_events.h"
#include "sms/simulated_phone.h"
#include "support/answering_pty.h"
#include "support/phone_store.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

namespace pelorin {
namespace {

using testing::child;
using testing::waitUntil;
using testing::WatchingMessages;
using testing::whenModal;

// Adds up the waits the dialogue asks for and sleeps a tenth of each.
class CountingSleeper final : public Sleeper {
public:
    void sleepMs(int ms) override {
        askedMs += ms;
        tenth_.sleepMs(ms);
    }
    void sleepUnlessCancelled(int ms, const CancelToken* cancel) override {
        askedMs += ms;
        tenth_.sleepUnlessCancelled(ms, cancel);
    }
    std::atomic<long long> askedMs{0};

private:
    ScaledSleeper tenth_{0.1};
};

std::unique_ptr<SimulatedPhone> startPhone(const std::string& store, QStringList options) {
    QString why;
    auto phone = SimulatedPhone::start(PELORIN_PHONE_PATH, QString::fromStdString(store), why,
                                       QStringList{"--quiet"} << options);
    EXPECT_TRUE(phone) << why.toStdString();
    return phone;
}

void clickSendIn(QDialog& dialog) { QTest::mouseClick(child<QPushButton>(dialog, "send"), Qt::LeftButton); }

// The Send menu's command for `kind`, its dialog confirmed with "Send".
void sendFromEditor(SendCommands& commands, SendJobKind kind) {
    switch (kind) {
        case SendJobKind::OperatorLogo:
        case SendJobKind::LargeOperatorLogo:
            whenModal<OperatorLogoSendDialog>(clickSendIn);
            commands.sendOperatorLogo(kind == SendJobKind::OperatorLogo ? LogoKind::Operator : LogoKind::LargeOperator);
            break;
        case SendJobKind::GroupGraphic:
        case SendJobKind::RestoreOperatorLogo:
            whenModal<SimpleSendDialog>(clickSendIn);
            kind == SendJobKind::GroupGraphic ? commands.sendGroupGraphic() : commands.sendRestoreOperatorLogo();
            break;
        case SendJobKind::PictureMessage:
            whenModal<PictureSendDialog>(clickSendIn);
            commands.sendPictureMessage();
            break;
        case SendJobKind::Ringtone:  // one quarter-note C
            whenModal<SimpleSendDialog>(clickSendIn);
            commands.sendRingtone({0x02, 0x4A, 0x3A, 0x40, 0x04, 0x00, 0x08, 0xC8, 0x84, 0x91, 0x40, 0x00});
            break;
    }
}

// The editor's sends to one phone, with the settings a test gives.
struct Sender {
    Sender(SimulatedPhone& phone, std::int32_t fixedWaits) {
        settings.writeString("Last", "Number", "+4917012345");
        settings.writeString("Last", "Country", "262");
        settings.writeString("Last", "Code", "02");
        if (fixedWaits >= 0) settings.writeInt("Settings", "FixedWaits", fixedWaits);
        doc = CPelorinDoc(settings);
        for (int x = 0; x < 72; ++x) doc.operatorCanvas.set(x, x % 14, true);
        for (int x = 0; x < 72; ++x) doc.pictureCanvas.set(x, (x * 3) % 28, true);
        link = SendLink{makePosixSerialPortOpener(), sleeper, phone.port().toStdString()};
    }
    SendCommands commands() { return SendCommands(&host, doc, settings, messages, link); }
    std::string outcome() {
        EXPECT_TRUE(waitUntil([this] { return !messages.shown.empty(); }, 40000));
        const std::string shown = messages.shown.empty() ? std::string() : messages.shown.back();
        messages.shown.clear();
        return shown;
    }

    MemorySettingsStore settings;
    CPelorinDoc doc;
    WatchingMessages messages;
    std::shared_ptr<CountingSleeper> sleeper = std::make_shared<CountingSleeper>();
    SendLink link;
    QWidget host;
};

class EditorPhoneTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_TRUE(waitUntil([] { return runningSendWorkers() == 0; }, 5000));
    }
    pelorin::testing::TemporaryFolder folder{"pelorin-editor-phone"};
};

TEST_F(EditorPhoneTest, ReplyDrivenSendsPutTheSameBytesOnTheLineAsTheRememberedFixedWaits) {
    const std::string fastFile = folder.file("fast"), fixedFile = folder.file("fixed");
    auto fastPhone = startPhone(folder.file("fast-store"), {"--transcript", QString::fromStdString(fastFile)});
    auto fixedPhone = startPhone(folder.file("fixed-store"), {"--transcript", QString::fromStdString(fixedFile)});
    ASSERT_TRUE(fastPhone && fixedPhone);
    Sender fast(*fastPhone, -1);  // nothing stored: reply-driven
    Sender fixed(*fixedPhone, 1);
    ASSERT_EQ(fast.doc.fixedWaits, 0);
    ASSERT_EQ(fixed.doc.fixedWaits, 1);

    // The fixed waits: 1 s after each command, one 2 s round per acknowledgement.
    const std::pair<SendJobKind, long long> kinds[] = {
        {SendJobKind::OperatorLogo, 4000},
        {SendJobKind::GroupGraphic, 4000},
        {SendJobKind::RestoreOperatorLogo, 4000},
        {SendJobKind::PictureMessage, 1000 + 3 * 3000},
        {SendJobKind::LargeOperatorLogo, 1000 + 2 * 3000},
    };
    auto fastCommands = fast.commands();
    auto fixedCommands = fixed.commands();
    long long fixedTotal = 0;
    for (const auto& [kind, waitsMs] : kinds) {
        const int what = static_cast<int>(kind);
        sendFromEditor(fastCommands, kind);
        const std::string outcome = fast.outcome();
        EXPECT_TRUE(IsSuccessOutcome(outcome)) << what << ": " << outcome;
        sendFromEditor(fixedCommands, kind);
        EXPECT_EQ(fixed.outcome(), outcome) << what;
        fixedTotal += waitsMs;

        const std::string fixedBytes = pelorin::testing::readFileText(fixedFile);
        EXPECT_FALSE(fixedBytes.empty());
        EXPECT_EQ(pelorin::testing::readFileText(fastFile), fixedBytes) << what;
        EXPECT_EQ(fast.sleeper->askedMs, 0) << what << ": the reply-driven send waited a fixed time";
        EXPECT_EQ(fixed.sleeper->askedMs, fixedTotal) << what << ": FixedWaits=1 keeps every fixed wait";
    }
    EXPECT_EQ(pelorin::testing::readPhoneLog(folder.file("fast-store")).size(), 5u);
    EXPECT_EQ(pelorin::testing::readPhoneLog(folder.file("fast-store")),
              pelorin::testing::readPhoneLog(folder.file("fixed-store")));
}

TEST_F(EditorPhoneTest, OutcomeBoxSaysWhyBelowTheOutcome) {
    auto phone = startPhone(folder.file("store"), {});
    ASSERT_TRUE(phone);
    Sender sender(*phone, -1);
    auto commands = sender.commands();

    // A phone that answers every command with its error code.
    pelorin::testing::AnsweringPty refusing("\r\n+CMS ERROR: 304\r\n");
    sender.link.portOverride = refusing.devicePath();
    auto refusingCommands = sender.commands();
    sendFromEditor(refusingCommands, SendJobKind::GroupGraphic);
    EXPECT_EQ(sender.outcome(),
              "Communication error\nThe phone answered +CMS ERROR: 304: invalid PDU mode parameter (3GPP TS 27.005)");

    // The port held by another program.
    auto holder = makePosixSerialPortOpener()->open(phone->port().toStdString());
    ASSERT_NE(holder, nullptr);
    sendFromEditor(commands, SendJobKind::GroupGraphic);
    const std::string held = sender.outcome();
    EXPECT_EQ(held.substr(0, held.find(" (")),
              "Cannot open COM port\n" + phone->port().toStdString() + ": in use by another program");
    EXPECT_NE(held.find("close that program first"), std::string::npos) << held;

    // Success stays one line.
    holder.reset();
    sendFromEditor(commands, SendJobKind::GroupGraphic);
    EXPECT_EQ(sender.outcome(), "Logo was successfully sent");
}

// Acts on the progress dialog when, after the caption, the status line comes
// to `status` (from another text: the line may still show that text from the
// message before).
class WhenProgressShows final : public QObject {
public:
    WhenProgressShows(std::string caption, std::string status, std::function<void(SendProgressDialog&)> act)
        : caption_(std::move(caption)), status_(std::move(status)), act_(std::move(act)) {
        qApp->installEventFilter(this);
    }
    ~WhenProgressShows() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<SendProgressDialog*>(watched);
        if (dialog == nullptr || done_) return false;
        if (event->type() != WM_SEND_CAPTION && event->type() != WM_SEND_STATUS) return false;
        const auto& text = static_cast<SendEvent*>(event)->text();
        if (event->type() == WM_SEND_CAPTION) {
            captionShown_ = text == caption_;
        } else if (captionShown_ && text == status_) {
            done_ = true;
            QPointer<SendProgressDialog> target(dialog);
            QTimer::singleShot(0, [this, target] {
                if (target) act_(*target);
            });
        }
        return false;
    }

private:
    std::string caption_, status_;
    std::function<void(SendProgressDialog&)> act_;
    bool captionShown_ = false;
    bool done_ = false;
};

TEST_F(EditorPhoneTest, StopEndsTheSendAtTheNextWaitAndGivesThePortBack) {
    struct Case {
        const char* what;
        QStringList phoneFlags;
        bool picture;
        std::string caption, status;
        bool escape;     // Escape instead of a click on "Stop"
        int fixedWaits;  // FixedWaits stored, or -1
        const char* outcome;
        int commands;     // AT+CMGS commands on the line
        char lastByte;    // Ctrl-Z: nothing after the message in flight; ESC: the prompt cancelled
        bool sendsAfter;  // the phone acknowledges the next send
    } cases[] = {
        {"acknowledgement of part 2 of a picture message",
         {"--silent-after-pdu=2"},
         true,
         "Sending SMS 2/3",
         "Waiting for acknowledgement",
         false,
         -1,
         "Sending stopped\nThe phone already had 2 of 3 messages; they may still be delivered",
         2,
         '\x1A',
         true},
        {"Escape in a fixed wait for a group graphic's acknowledgement",
         {"--silent-after-pdu"},
         false,
         "Sending SMS",
         "Waiting for acknowledgement",
         true,
         1,
         "Sending stopped\nThe phone already had the message; it may still be delivered",
         1,
         '\x1A',
         false},
        {"a phone that never prompts",
         {"--no-prompt"},
         false,
         "Sending SMS",
         "Setting up phone",
         false,
         -1,
         "Sending stopped",
         1,
         '\x1B',
         false},
    };
    int round = 0;
    for (const Case& c : cases) {
        const std::string transcript = folder.file("line-" + std::to_string(++round));
        auto phone = startPhone(folder.file("store-" + std::to_string(round)),
                                QStringList{"--transcript", QString::fromStdString(transcript)} << c.phoneFlags);
        ASSERT_TRUE(phone);
        Sender sender(*phone, c.fixedWaits);
        auto commands = sender.commands();
        bool stayedUntilTheEnd = true;
        WhenProgressShows stopping(c.caption, c.status, [&](SendProgressDialog& dialog) {
            // Once the phone has every command the step reported begins
            // with (a slow worker may not have written it yet).
            const std::string sent = c.commands == 1 ? "AT+CMGS=" : "0B0504158A00000003010302";
            waitUntil([&] { return pelorin::testing::readFileText(transcript).find(sent) != std::string::npos; }, 900);
            if (c.escape) {
                QTest::keyClick(&dialog, Qt::Key_Escape);
            } else {
                QTest::mouseClick(child<QPushButton>(dialog, "stop"), Qt::LeftButton);
            }
            // Closing is still impossible until the worker reports the end.
            dialog.close();
            stayedUntilTheEnd = dialog.isVisible() || dialog.ended();
        });
        sendFromEditor(commands, c.picture ? SendJobKind::PictureMessage : SendJobKind::GroupGraphic);
        EXPECT_EQ(sender.outcome(), c.outcome) << c.what;
        EXPECT_TRUE(stayedUntilTheEnd) << c.what;
        ASSERT_TRUE(waitUntil([] { return runningSendWorkers() == 0; }, 5000));

        // The phone writes its transcript as the bytes reach it.
        std::string line;
        waitUntil(
            [&] {
                line = pelorin::testing::readFileText(transcript);
                return !line.empty() && line.back() == c.lastByte;
            },
            3000);
        std::size_t cmgs = 0;
        for (auto at = line.find("AT+CMGS="); at != std::string::npos; at = line.find("AT+CMGS=", at + 1)) ++cmgs;
        EXPECT_EQ(cmgs, static_cast<std::size_t>(c.commands)) << c.what;
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(line.back(), c.lastByte) << c.what;

        // The port was given back: the next send opens it.
        if (!c.sendsAfter) continue;
        sendFromEditor(commands, SendJobKind::GroupGraphic);
        EXPECT_EQ(sender.outcome(), "Logo was successfully sent") << c.what;
        const auto log = pelorin::testing::readPhoneLog(folder.file("store-" + std::to_string(round)));
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back().at("kind"), "group-graphic");
    }
}

// The test above as user nobody, when the tests run as root: for an ordinary
// user a port left exclusive would refuse the next send.
TEST(EditorPhoneUnprivilegedTest, StopGivesThePortBackToAnOrdinaryUser) {
    if (::geteuid() != 0) GTEST_SKIP() << "already an ordinary user: EditorPhoneTest.StopEnds... is this test";
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    auto command = pelorin::testing::commandAsUnprivilegedUser(
        self, {"--gtest_filter=EditorPhoneTest.StopEndsTheSendAtTheNextWaitAndGivesThePortBack"});
    if (command.empty() || command.front() == self) GTEST_SKIP() << "no way to run as an ordinary user";
    if (!pelorin::testing::unprivilegedUserCanRun(PELORIN_PHONE_PATH))
        GTEST_SKIP() << "user nobody cannot reach the build tree (" << PELORIN_PHONE_PATH << ")";
    const auto result = pelorin::testing::runProcess(command.front(), {command.begin() + 1, command.end()});
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("[  PASSED  ] 1 test."), std::string::npos) << result.out << result.err;
}

// An operator-logo dialog that asks the phone on `port`.
struct AskingDialog {
    explicit AskingDialog(const std::string& port) : dialog(nullptr, doc, messages) {
        dialog.number = "+49";
        dialog.countryCode = "262";
        dialog.operatorCode = "02";
        dialog.setNetworkAsker(
            makeNetworkAsker(SendLink{makePosixSerialPortOpener(), std::make_shared<RealSleeper>(), port}, doc));
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    QString text(const char* name) { return child<QLineEdit>(dialog, name)->text(); }
    QString selected(const char* name) {
        auto* list = child<QComboBox>(dialog, name);
        return list->currentIndex() < 0 ? QString() : list->currentText();
    }
    // Alt+F, as the user presses it; the button then clicks itself (after a
    // short animation), and the answer is waited for.
    bool askWithAltF() {
        bool clicked = false;
        QObject::connect(child<QPushButton>(dialog, "fromPhone"), &QPushButton::clicked, [&] { clicked = true; });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::AltModifier);
        return waitUntil([&] { return clicked; }, 2000) &&
               waitUntil([this] { return !dialog.askingPhone(); }, OperatorLogoSendDialog::kFromPhoneLimitMs + 1000);
    }

    CPelorinDoc doc;
    WatchingMessages messages;
    OperatorLogoSendDialog dialog;
};

TEST_F(EditorPhoneTest, FromPhoneFillsTheCodesAsTypingWouldOrSaysWhyAndChangesNothing) {
    auto phone = startPhone(folder.file("store"), {"--network", "310-26"});
    ASSERT_TRUE(phone);
    AskingDialog asking(phone->port().toStdString());
    EXPECT_EQ(child<QPushButton>(asking.dialog, "fromPhone")->text(), "&From phone");
    ASSERT_TRUE(asking.askWithAltF());
    EXPECT_TRUE(asking.messages.shown.empty());
    EXPECT_EQ(asking.text("countryCode"), "310");
    EXPECT_EQ(asking.text("operatorCode"), "26");
    EXPECT_TRUE(child<QPushButton>(asking.dialog, "send")->hasFocus());

    // The lists as typing 310 and 26 shows them: the first country with
    // that code and its operator with that code.
    EXPECT_EQ(asking.selected("countryList"), "Papua New Guinea");
    EXPECT_EQ(asking.selected("operatorList"), "Western Wireless Voicestream");

    // Enter then sends with the phone's network.
    QTest::keyClick(child<QPushButton>(asking.dialog, "send"), Qt::Key_Return);
    EXPECT_EQ(asking.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(asking.dialog.countryCode, "310");
    EXPECT_EQ(asking.dialog.operatorCode, "26");
}

TEST_F(EditorPhoneTest, FromPhoneFailuresShowOneMessageAndChangeNothing) {
    auto unregistered = startPhone(folder.file("store"), {});
    ASSERT_TRUE(unregistered);
    pelorin::testing::AnsweringPty refusing("\r\nERROR\r\n");
    pelorin::testing::AnsweringPty silent("");
    // While a silent phone is asked, the button is disabled under a busy
    // cursor and the dialog goes on taking keys.
    AskingDialog waiting(silent.devicePath());
    waiting.dialog.askPhoneForNetwork();
    EXPECT_FALSE(child<QPushButton>(waiting.dialog, "fromPhone")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(waiting.dialog, "send")->isEnabled());  // the question holds the port
    EXPECT_EQ(waiting.dialog.cursor().shape(), Qt::BusyCursor);
    QTest::keyClicks(child<QLineEdit>(waiting.dialog, "number"), "170");
    EXPECT_EQ(waiting.text("number"), "+49170");
    EXPECT_TRUE(waiting.dialog.askingPhone());
    ASSERT_TRUE(waitUntil([&] { return !waiting.dialog.askingPhone(); }, 4000));
    EXPECT_TRUE(child<QPushButton>(waiting.dialog, "fromPhone")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(waiting.dialog, "send")->isEnabled());
    EXPECT_NE(waiting.dialog.cursor().shape(), Qt::BusyCursor);

    const std::pair<std::string, const char*> cases[] = {
        {unregistered->port().toStdString(), "The phone is not registered with a network"},
        {refusing.devicePath(), "The phone answered AT+COPS? without naming a network"},
        {silent.devicePath(), "The phone did not answer AT+COPS?"},
    };
    for (const auto& [port, message] : cases) {
        AskingDialog asking(port);
        ASSERT_TRUE(asking.askWithAltF()) << port;
        EXPECT_EQ(asking.messages.shown, std::vector<std::string>{message});
        EXPECT_EQ(asking.text("countryCode"), "262") << port;
        EXPECT_EQ(asking.text("operatorCode"), "02") << port;
        EXPECT_EQ(asking.selected("countryList"), "Germany") << port;
        EXPECT_EQ(asking.selected("operatorList"), "D2 Mannesmann Mobilfunk") << port;
    }
}

}  // namespace
}  // namespace pelorin

namespace pelorin {
namespace {

// `pelorin --simulated-phone` starts its phone so that what the editor sends
// can be read back with File > Import from phone.
TEST_F(EditorPhoneTest, TheEditorsSimulatedPhoneFilesWhatItIsSentInItsInbox) {
    auto phone = startPhone(folder.file("store"), SimulatedPhone::editorOptions());
    ASSERT_TRUE(phone);
    Sender sender(*phone, 0);
    auto commands = sender.commands();
    sendFromEditor(commands, SendJobKind::GroupGraphic);
    EXPECT_EQ(sender.outcome(), "Logo was successfully sent");
    auto opener = makePosixSerialPortOpener();
    ScaledSleeper quick{0.1};
    DialogueOptions options;
    options.replyDriven = true;
    const PhoneLogos read = ReadPhoneLogos(phone->port().toStdString(), *opener, quick, options);
    ASSERT_TRUE(read.read) << read.detail;
    ASSERT_EQ(read.logos.size(), 1u);
    const auto canvas = receivedCanvas(read.logos[0]);
    ASSERT_TRUE(canvas);
    for (int x = 0; x < 72; ++x) EXPECT_TRUE(canvas->isSet(x, x % 14)) << x;
}

}  // namespace
}  // namespace pelorin
