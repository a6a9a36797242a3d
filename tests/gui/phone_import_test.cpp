// File, "Import from phone..." against the simulated phone holding an inbox.

#include "sms/phone_import.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <fstream>

#include "app/command_table.h"
#include "dialogs/picture_send_dialog.h"
#include "gui_fixture.h"
#include "gui_test_helpers.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "ringtone/ringtone_commands.h"
#include "ringtone/ringtone_window.h"
#include "ringtone/rtttl.h"
#include "ringtone/smart_messaging.h"
#include "support/deliver_builder.h"
#include "support/phone_process.h"
#include "support/temp_folder.h"

namespace pelorin::testing {
namespace {

using namespace command;

bool picturePixel(int x, int y) { return (x * 3 + y * 7) % 11 < 3; }

// A picture message in three parts (the second listed first), a text, and a
// large operator logo in two parts.
std::string inbox() {
    DeliverOctets bits(252, 0);
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 72; ++x)
            if (picturePixel(x, y)) bits[(y * 72 + x) / 8] |= static_cast<std::uint8_t>(0x80 >> ((y * 72 + x) % 8));
    const auto picture = deliverParts(
        0x158A, DeliverOctets{0x30, 0x00, 0x00, 0x04, 'F', 'r', 'o', 'm', 0x02, 0x01, 0x00, 0x00, 72, 28, 0x01} + bits,
        1);
    const auto large = deliverParts(0x1582, DeliverOctets{0x30, 0x62, 0xF2, 0x20, 0x0A} + ota(78, 21, 0xFF), 2);
    return picture[1] + "\n" + picture[0] + "\n" + picture[2] + "\n" + Deliver{{}, {'H', 'i'}, 0x00}.hex() + "\n" +
           large[0] + "\n" + large[1] + "\n";
}

class PhoneImportTest : public EditorFixture {
protected:
    void start(const std::string& port) {
        SendLink link{makePosixSerialPortOpener(), std::make_shared<ScaledSleeper>(0.1), port};
        app = std::make_unique<CPelorinApp>(AppServices{settings, messages, files, link});
        app->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->frame()));
    }
    void SetUp() override {}
    void TearDown() override {
        EXPECT_TRUE(waitUntil([] { return runningPhoneReaders() == 0; }, 5000));
        EditorFixture::TearDown();
    }
    std::string writeInbox(const std::string& text) {
        std::ofstream(folder.file("inbox.txt")) << text;
        return folder.file("inbox.txt");
    }

    TemporaryFolder folder{"pelorin-import"};
};

TEST_F(PhoneImportTest, OpensTheChosenLogoAndKeepsThePictureText) {
    PhoneProcess phone(PELORIN_PHONE_PATH, {"--quiet", "--inbox", writeInbox(inbox())});
    ASSERT_TRUE(phone.started());
    start(phone.devicePath());
    std::vector<std::string> rows;
    whenModal<PhoneLogoChooser>([&rows](PhoneLogoChooser& chooser) {
        for (int i = 0; i < chooser.list()->count(); ++i) rows.push_back(chooser.list()->item(i)->text().toStdString());
        EXPECT_FALSE(chooser.list()->item(0)->icon().isNull());
        chooser.list()->setCurrentRow(0);
        chooser.accept();
    });
    frame().action(kFileImportFromPhone)->trigger();
    EXPECT_EQ(rows, (std::vector<std::string>{"+4912345\n2026-12-07 17:45:00 +01:00",
                                              "+4912345\n2026-12-07 17:45:00 +01:00"}));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(editor().kind(), LogoKind::Picture);
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 72; ++x)
            ASSERT_EQ(app->document().pictureCanvas.isSet(x, y), picturePixel(x, y)) << x << "," << y;

    // The picture's text is where the next picture message starts.
    std::string text;
    whenModal<PictureSendDialog>([&text](PictureSendDialog& dialog) {
        text = dialog.findChild<QPlainTextEdit*>("messageText")->toPlainText().toStdString();
        dialog.reject();
    });
    for (QMenu* menu : frame().menus()) emit menu->aboutToShow();
    frame().action(kSendPictureMessage)->trigger();
    EXPECT_EQ(text, "From");

    // The second logo: the large operator logo, its canvas made current.
    whenModal<PhoneLogoChooser>([](PhoneLogoChooser& chooser) {
        chooser.list()->setCurrentRow(1);
        chooser.accept();
    });
    frame().action(kFileImportFromPhone)->trigger();
    EXPECT_EQ(editor().kind(), LogoKind::LargeOperator);
    EXPECT_TRUE(app->document().largeOperatorCanvas.isSet(77, 20));

    // Each import is one undo step: back to the picture, then to the blank start.
    frame().action(kEditUndo)->trigger();
    EXPECT_EQ(editor().kind(), LogoKind::Picture);
    EXPECT_FALSE(app->document().largeOperatorCanvas.isSet(77, 20));
    EXPECT_TRUE(app->document().pictureCanvas.isSet(0, 0));
    frame().action(kEditUndo)->trigger();
    EXPECT_FALSE(app->document().pictureCanvas.isSet(0, 0));
    frame().action(kEditRedo)->trigger();
    EXPECT_TRUE(app->document().pictureCanvas.isSet(0, 0));
}

TEST_F(PhoneImportTest, ListsRingtonesBesideLogosAndOpensTheChosenOneInTheRingtoneWindow) {
    const ringtone::RtttlReading tune = ringtone::readRtttl("Tetra:d=4,o=5,b=160:e6,8b,8c6,8d6,16e6,16d6,8c6,8b");
    ASSERT_TRUE(tune.ringtone.has_value());
    const std::vector<std::uint8_t> octets = ringtone::encodeSmartMessaging(*tune.ringtone);
    const std::string listed =
        deliverParts(0x1581, DeliverOctets(octets.begin(), octets.end()), 9)[0] + "\n" +
        deliverParts(0x1582, DeliverOctets{0x30, 0x62, 0xF2, 0x20, 0x0A} + ota(78, 21, 0xFF), 2)[0];
    PhoneProcess phone(PELORIN_PHONE_PATH, {"--quiet", "--inbox", writeInbox(listed + "\n")});
    ASSERT_TRUE(phone.started());
    start(phone.devicePath());
    std::vector<std::string> rows;
    whenModal<PhoneLogoChooser>([&rows](PhoneLogoChooser& chooser) {
        for (int i = 0; i < chooser.list()->count(); ++i) rows.push_back(chooser.list()->item(i)->text().toStdString());
        chooser.list()->setCurrentRow(0);
        chooser.accept();
    });
    const auto before = app->document().operatorCanvas;
    frame().action(kFileImportFromPhone)->trigger();
    ASSERT_EQ(rows.size(), 1u) << "a large operator logo in one of its two parts is not offered";
    EXPECT_EQ(rows[0], "+4912345\n2026-12-07 17:45:00 +01:00\nRingtone \"Tetra\", 8 notes");
    EXPECT_TRUE(messages.shown.empty());
    auto* window = app->frame().findChild<RingtoneWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(ringtone::writeRtttl(window->editing().ringtone()), ringtone::writeRtttl(*tune.ringtone));
    EXPECT_TRUE(app->document().operatorCanvas == before) << "no canvas changes";
}

TEST_F(PhoneImportTest, APhoneThatCannotBeReadOrHoldsNoLogoGivesOneMessage) {
    start("/dev/pelorin-no-such-port");
    frame().action(kFileImportFromPhone)->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].rfind(std::string(kPhoneCannotBeRead) + "\n", 0), 0u) << messages.shown[0];
    EXPECT_NE(messages.shown[0].find("/dev/pelorin-no-such-port"), std::string::npos) << messages.shown[0];
    app.reset();

    PhoneProcess phone(PELORIN_PHONE_PATH, {"--quiet", "--inbox", writeInbox(Deliver{{}, {'H', 'i'}, 0x00}.hex())});
    ASSERT_TRUE(phone.started());
    messages.shown.clear();
    start(phone.devicePath());
    const auto before = app->document().operatorCanvas;
    frame().action(kFileImportFromPhone)->trigger();
    EXPECT_EQ(messages.shown, std::vector<std::string>{kPhoneHoldsNoLogo});
    EXPECT_TRUE(app->document().operatorCanvas == before);
}

}  // namespace
}  // namespace pelorin::testing
