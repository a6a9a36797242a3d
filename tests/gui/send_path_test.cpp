// The Send commands end to end: the dialog confirmed by typed keys, the job
// run by the worker over a real pseudo-terminal to pelorin-phone, and what the
// phone decoded on its own compared with the canvas, number, codes and text.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <map>

#include "dialogs/operator_logo_send_dialog.h"
#include "dialogs/picture_send_dialog.h"
#include "dialogs/simple_send_dialog.h"
#include "document/document.h"
#include "gui_test_helpers.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "settings/memory_settings_store.h"
#include "sms/send_commands.h"
#include "sms/send_events.h"
#include "sms/simulated_phone.h"
#include "support/phone_store.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

using testing::child;
using testing::WatchingMessages;
using testing::whenModal;

// The dialogue's waits at a tenth of their real length: the phone answers
// within milliseconds and every read still waits up to 100 ms for it.
constexpr double kFastWaits = 0.1;

// Records the captions the progress dialogs show, in order, and counts the
// progress dialogs that were made.
class CaptionRecorder final : public QObject {
public:
    CaptionRecorder() { qApp->installEventFilter(this); }
    ~CaptionRecorder() override { qApp->removeEventFilter(this); }
    std::vector<std::string> captions;
    std::vector<std::string> statuses;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<SendProgressDialog*>(watched);
        if (dialog != nullptr && event->type() == QEvent::WindowTitleChange)
            captions.push_back(dialog->windowTitle().toStdString());
        if (dialog != nullptr && event->type() == WM_SEND_STATUS) {
            const auto& text = static_cast<SendEvent*>(event)->text();
            statuses.push_back(text ? *text : "(none)");
        }
        return false;
    }
};

void fillPattern(Canvas& canvas, int seed) {
    for (int x = 0; x < canvas.width(); ++x)
        for (int y = 0; y < canvas.height(); ++y) canvas.set(x, y, ((x * 13 + y * 5 + seed) % 9) < 4);
}

class SendPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        phone =
            SimulatedPhone::start(PELORIN_PHONE_PATH, QString::fromStdString(store_.path().string()), why, {"--quiet"});
        ASSERT_TRUE(phone) << why.toStdString();
        fillPattern(doc.operatorCanvas, 1);
        fillPattern(doc.pictureCanvas, 2);
        fillPattern(doc.largeOperatorCanvas, 3);
        settings.writeString("Last", "Number", "+4917012345");
        settings.writeString("Last", "Country", "310");
        settings.writeString("Last", "Code", "01");
        doc = CPelorinDoc(settings);
        fillPattern(doc.operatorCanvas, 1);
        fillPattern(doc.pictureCanvas, 2);
        fillPattern(doc.largeOperatorCanvas, 3);
        link = SendLink{makePosixSerialPortOpener(), std::make_shared<ScaledSleeper>(kFastWaits),
                        phone->port().toStdString()};
    }

    void TearDown() override {
        // No worker may be left behind, touching what the test destroys.
        EXPECT_TRUE(testing::waitUntil([] { return runningSendWorkers() == 0; }, 5000));
    }

    // Waits for the outcome box of the send just started.
    std::string outcome() {
        EXPECT_TRUE(testing::waitUntil([this] { return !messages.shown.empty(); }));
        if (messages.shown.empty()) return {};
        EXPECT_EQ(messages.shown.size(), 1u);
        EXPECT_FALSE(messages.progressDialogAtShow.front()) << "outcome shown while the progress dialog existed";
        return messages.shown.front();
    }

    std::vector<std::map<std::string, std::string>> received() const { return testing::readPhoneLog(store_.path()); }

    // The picture the phone stored for a log entry, compared with the canvas.
    void expectPictureMatches(const std::map<std::string, std::string>& entry, const Canvas& canvas) const {
        EXPECT_EQ(testing::pictureMismatch(testing::readPhonePicture(store_.path(), entry.at("file")), canvas.width(),
                                           canvas.height(), [&](int x, int y) { return canvas.isSet(x, y); }),
                  "");
    }

    SendCommands commands() { return SendCommands(&host, doc, settings, messages, link); }

    pelorin::testing::TemporaryFolder store_{"pelorin-gui-phone"};
    std::unique_ptr<SimulatedPhone> phone;
    MemorySettingsStore settings;
    CPelorinDoc doc;
    WatchingMessages messages;
    SendLink link;
    QWidget host;
};

TEST_F(SendPathTest, PictureMessageArrivesAsDrawnWithItsCaptionsInOrder) {
    CaptionRecorder recorder;
    whenModal<PictureSendDialog>([](PictureSendDialog& dialog) {
        EXPECT_EQ(child<QLineEdit>(dialog, "number")->text(), "+4917012345");
        QTest::keyClicks(child<QPlainTextEdit>(dialog, "messageText"), "Hello from the editor");
        QTest::keyClick(child<QPlainTextEdit>(dialog, "messageText"), Qt::Key_Return);
    });
    // The user cannot close the progress dialog (Escape stops the send). The
    // fixed waits keep the job running while the close is tried.
    doc.fixedWaits = 1;
    bool stayedOpen = false;
    whenModal<SendProgressDialog>([&stayedOpen](SendProgressDialog& dialog) {
        dialog.close();
        stayedOpen = dialog.isVisible() && !dialog.ended();
    });
    auto send = commands();
    send.sendPictureMessage();
    EXPECT_EQ(outcome(), "Picture message was successfully sent");
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(recorder.captions,
              (std::vector<std::string>{"Sending SMS", "Sending SMS 1/3", "Sending SMS 2/3", "Sending SMS 3/3"}));
    ASSERT_FALSE(recorder.statuses.empty());
    EXPECT_EQ(recorder.statuses.front(), "Opening COM port");
    EXPECT_EQ(recorder.statuses.back(), "Waiting for acknowledgement");

    const auto lines = received();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].at("kind"), "picture-message");
    EXPECT_EQ(lines[0].at("size"), "72x28");
    EXPECT_EQ(lines[0].at("number"), "+4917012345");
    EXPECT_EQ(lines[0].at("text"), "Hello from the editor");
    EXPECT_EQ(lines[0].at("report"), "1");
    EXPECT_EQ(lines[0].at("parts"), "3");
    expectPictureMatches(lines[0], doc.pictureCanvas);
}

TEST_F(SendPathTest, OperatorLogoSendsOneMessageOrTwoByTheCanvasWithTheChosenNetwork) {
    auto send = commands();
    whenModal<OperatorLogoSendDialog>([](OperatorLogoSendDialog& dialog) {
        testing::retype(child<QLineEdit>(dialog, "number"), "+4930123");
        testing::pickItem(child<QComboBox>(dialog, "countryList"), "Germany");
        testing::pickItem(child<QComboBox>(dialog, "operatorList"), "D2 Mannesmann Mobilfunk");
        QTest::mouseClick(child<QCheckBox>(dialog, "deliveryReport"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "send"), Qt::LeftButton);
    });
    send.sendOperatorLogo(LogoKind::Operator);
    EXPECT_EQ(outcome(), "Logo was successfully sent");
    EXPECT_EQ(settings.find("Last", "Number"), "+4930123");
    EXPECT_EQ(settings.find("Last", "Country"), "262");
    EXPECT_EQ(settings.find("Last", "Code"), "02");
    EXPECT_EQ(settings.find("Last", "Report"), "0");

    messages.shown.clear();
    messages.progressDialogAtShow.clear();
    whenModal<OperatorLogoSendDialog>([](OperatorLogoSendDialog& dialog) {
        // Opens with what was just sent; only the operator code is typed anew.
        EXPECT_EQ(child<QComboBox>(dialog, "operatorList")->currentText(), "D2 Mannesmann Mobilfunk");
        testing::retype(child<QLineEdit>(dialog, "operatorCode"), "07");
        QTest::keyClick(child<QLineEdit>(dialog, "operatorCode"), Qt::Key_Return);
    });
    send.sendOperatorLogo(LogoKind::LargeOperator);
    EXPECT_EQ(outcome(), "Logo was successfully sent");

    const auto lines = received();
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& line : lines) {
        EXPECT_EQ(line.at("kind"), "operator-logo");
        EXPECT_EQ(line.at("number"), "+4930123");
        EXPECT_EQ(line.at("mcc"), "262");
        EXPECT_EQ(line.at("report"), "0");
    }
    EXPECT_EQ(lines[0].at("mnc"), "02");
    EXPECT_EQ(lines[0].at("size"), "72x14");
    EXPECT_EQ(lines[0].at("parts"), "1");
    expectPictureMatches(lines[0], doc.operatorCanvas);
    EXPECT_EQ(lines[1].at("mnc"), "07");
    EXPECT_EQ(lines[1].at("size"), "78x21");
    EXPECT_EQ(lines[1].at("parts"), "2");
    expectPictureMatches(lines[1], doc.largeOperatorCanvas);
}

TEST_F(SendPathTest, GroupGraphicAndRestoreLeaveTheStoredCodesAlone) {
    auto send = commands();
    whenModal<SimpleSendDialog>([](SimpleSendDialog& dialog) {
        EXPECT_TRUE(child<QCheckBox>(dialog, "deliveryReport")->isChecked());
        testing::retype(child<QLineEdit>(dialog, "number"), "0170123");
        QTest::mouseClick(child<QCheckBox>(dialog, "deliveryReport"), Qt::LeftButton);
        QTest::keyClick(child<QLineEdit>(dialog, "number"), Qt::Key_Return);
    });
    send.sendGroupGraphic();
    EXPECT_EQ(outcome(), "Logo was successfully sent");
    EXPECT_EQ(settings.find("Last", "Number"), "0170123");
    EXPECT_EQ(settings.find("Last", "Report"), "0");

    messages.shown.clear();
    messages.progressDialogAtShow.clear();
    whenModal<SimpleSendDialog>([](SimpleSendDialog& dialog) {
        EXPECT_EQ(child<QLineEdit>(dialog, "number")->text(), "0170123");
        EXPECT_FALSE(child<QCheckBox>(dialog, "deliveryReport")->isChecked());
        QTest::mouseClick(child<QCheckBox>(dialog, "deliveryReport"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "send"), Qt::LeftButton);
    });
    send.sendRestoreOperatorLogo();
    EXPECT_EQ(outcome(), "Logo was successfully sent");
    EXPECT_EQ(settings.find("Last", "Report"), "1");
    EXPECT_EQ(settings.find("Last", "Country"), "310");
    EXPECT_EQ(settings.find("Last", "Code"), "01");
    EXPECT_EQ(doc.lastCountry, "310");
    EXPECT_EQ(doc.lastCode, "01");

    const auto lines = received();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].at("kind"), "group-graphic");
    EXPECT_EQ(lines[0].at("number"), "0170123");
    EXPECT_EQ(lines[0].at("report"), "0");
    expectPictureMatches(lines[0], doc.operatorCanvas);
    EXPECT_EQ(lines[1].at("kind"), "operator-logo");
    EXPECT_EQ(lines[1].at("report"), "1");
}

TEST_F(SendPathTest, CancelStoresAndSendsNothing) {
    CaptionRecorder recorder;
    const auto before = settings.values();
    auto send = commands();
    const auto cancel = [](QDialog& dialog) {
        QTest::mouseClick(child<QPushButton>(dialog, "cancel"), Qt::LeftButton);
    };
    whenModal<OperatorLogoSendDialog>([&](OperatorLogoSendDialog& dialog) {
        testing::retype(child<QLineEdit>(dialog, "number"), "+999");
        testing::retype(child<QLineEdit>(dialog, "countryCode"), "262");
        cancel(dialog);
    });
    send.sendOperatorLogo(LogoKind::LargeOperator);
    whenModal<SimpleSendDialog>([&](SimpleSendDialog& dialog) {
        testing::retype(child<QLineEdit>(dialog, "number"), "+999");
        cancel(dialog);
    });
    send.sendGroupGraphic();
    whenModal<SimpleSendDialog>([&](SimpleSendDialog& dialog) { cancel(dialog); });
    send.sendRestoreOperatorLogo();
    whenModal<PictureSendDialog>([&](PictureSendDialog& dialog) {
        QTest::keyClicks(child<QPlainTextEdit>(dialog, "messageText"), "not sent");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    send.sendPictureMessage();

    QTest::qWait(200);
    EXPECT_EQ(settings.values(), before);
    EXPECT_EQ(doc.lastNumber, "+4917012345");
    EXPECT_EQ(doc.lastCountry, "310");
    EXPECT_TRUE(recorder.captions.empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(received().empty());
}

TEST_F(SendPathTest, PortThatCannotBeOpenedStillStoresTheConfirmedValues) {
    CaptionRecorder recorder;
    link.portOverride.clear();
    doc.comPort = (store_.path() / "no-such-device").string();
    auto send = commands();
    whenModal<OperatorLogoSendDialog>([](OperatorLogoSendDialog& dialog) {
        testing::retype(child<QLineEdit>(dialog, "number"), "+3312345");
        testing::retype(child<QLineEdit>(dialog, "countryCode"), "208");
        testing::retype(child<QLineEdit>(dialog, "operatorCode"), "10");
        QTest::mouseClick(child<QPushButton>(dialog, "send"), Qt::LeftButton);
    });
    send.sendOperatorLogo(LogoKind::Operator);
    // The box says why below the outcome, as pelorin-cli does.
    EXPECT_EQ(outcome(), "Cannot open COM port\n" + doc.comPort +
                             ": no such device (No such file or directory); check the port name and that the phone "
                             "or its cable is plugged in");
    EXPECT_EQ(recorder.statuses, std::vector<std::string>{"Opening COM port"});
    EXPECT_EQ(recorder.captions, std::vector<std::string>{"Sending SMS"});
    EXPECT_EQ(settings.find("Last", "Number"), "+3312345");
    EXPECT_EQ(settings.find("Last", "Country"), "208");
    EXPECT_EQ(settings.find("Last", "Code"), "10");

    // The next dialog opens with them.
    whenModal<OperatorLogoSendDialog>([](OperatorLogoSendDialog& dialog) {
        EXPECT_EQ(child<QLineEdit>(dialog, "number")->text(), "+3312345");
        EXPECT_EQ(child<QComboBox>(dialog, "countryList")->currentText(), "France");
        EXPECT_EQ(child<QComboBox>(dialog, "operatorList")->currentText(), "SFR");
        QTest::mouseClick(child<QPushButton>(dialog, "cancel"), Qt::LeftButton);
    });
    send.sendOperatorLogo(LogoKind::Operator);
    EXPECT_TRUE(received().empty());
}

}  // namespace
}  // namespace pelorin
