// The Ringtone window driven through its keys, the piano row, the table and
// the text; and Send > Ringtone through the number dialog to the simulated
// phone.

#include "ringtone/ringtone_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <fstream>

#include "app/command_table.h"
#include "dialogs/simple_send_dialog.h"
#include "gui_fixture.h"
#include "gui_test_helpers.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "ringtone/smart_messaging.h"
#include "sms/send_worker.h"
#include "sms/simulated_phone.h"
#include "support/phone_store.h"
#include "support/temp_folder.h"

namespace pelorin::testing {
namespace {

using namespace command;

class RingtoneWindowTest : public EditorFixture {
protected:
    RingtoneWindow* openWindow() {
        QTest::keyClick(&frame(), Qt::Key_M, Qt::ControlModifier);
        auto* window = frame().findChild<RingtoneWindow*>("ringtone-window");
        EXPECT_NE(window, nullptr);
        if (window != nullptr) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        }
        return window;
    }
    static std::string text(RingtoneWindow& window) { return window.textEdit()->toPlainText().toStdString(); }
    static std::string row(RingtoneWindow& window, int r) {
        std::string cells;
        for (int c = 0; c < 4; ++c) cells += window.table()->item(r, c)->text().toStdString() + "|";
        return cells;
    }
};

TEST_F(RingtoneWindowTest, TextErrorsShowAtTheirPlaceAndTheTableFollows) {
    RingtoneWindow* window = openWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(text(*window), "Pelorin:d=4,o=6,b=125:");
    window->textEdit()->clear();
    QTest::keyClicks(window->textEdit(), "tune:d=4,o=5,b=125:8c6,h");
    EXPECT_EQ(window->status()->text().toStdString(), "Unknown note 'h' at 24");
    const auto marks = window->textEdit()->extraSelections();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks[0].cursor.selectionStart(), 23);
    EXPECT_EQ(marks[0].cursor.selectedText().toStdString(), "h");
    EXPECT_EQ(window->table()->rowCount(), 1);  // the last tune that read

    QTest::keyClick(window->textEdit(), Qt::Key_Backspace);
    QTest::keyClicks(window->textEdit(), "16e.");
    EXPECT_TRUE(window->textEdit()->extraSelections().isEmpty());
    EXPECT_EQ(window->status()->text().toStdString(), "2 notes, 18 octets, 1 message");
    ASSERT_EQ(window->table()->rowCount(), 2);
    EXPECT_EQ(row(*window, 0), "c|6|8||");
    EXPECT_EQ(row(*window, 1), "e|5|16|.|");

    // A cell typed in the table rewrites the text; a bad one is marked.
    window->table()->item(0, 2)->setText("32");
    EXPECT_EQ(text(*window), "tune:d=16,o=5,b=125:32c6,e.");
    window->table()->item(1, 0)->setText("h");
    EXPECT_EQ(window->status()->text().toStdString(),
              "Note 2: 'h' is not a note: c to b, with # for a sharp, or p for a rest");
    EXPECT_EQ(window->table()->item(1, 0)->background().color(), QColor(255, 220, 220));
    EXPECT_EQ(text(*window), "tune:d=16,o=5,b=125:32c6,e.");
}

TEST_F(RingtoneWindowTest, PianoKeysAndDurationButtonsWriteTheTune) {
    RingtoneWindow* window = openWindow();
    ASSERT_NE(window, nullptr);
    // Keys on the piano: 4 an eighth, Shift+C a sharp, P a rest, Up an
    // octave higher, "." dotted, Backspace the last note away.
    window->piano()->setFocus();
    QTest::keyClick(window->piano(), Qt::Key_4);
    QTest::keyClick(window->piano(), Qt::Key_C, Qt::ShiftModifier);
    QTest::keyClick(window->piano(), Qt::Key_E, Qt::ShiftModifier);  // no E sharp: E
    QTest::keyClick(window->piano(), Qt::Key_P);
    QTest::keyClick(window->piano(), Qt::Key_Up);
    QTest::keyClick(window->piano(), Qt::Key_Period);
    QTest::keyClick(window->piano(), Qt::Key_A);
    QTest::keyClick(window->piano(), Qt::Key_B);
    QTest::keyClick(window->piano(), Qt::Key_Backspace);
    EXPECT_EQ(text(*window), "Pelorin:d=8,o=5,b=125:c#,e,p,a6.");
    EXPECT_TRUE(window->durationButton(3)->isChecked());
    EXPECT_TRUE(window->dotButton()->isChecked());

    // The buttons: a whole note, not dotted, then the keys of each octave.
    QTest::mouseClick(window->durationButton(0), Qt::LeftButton);
    QTest::mouseClick(window->dotButton(), Qt::LeftButton);
    QTest::mouseClick(window->pianoKey(0, 4), Qt::LeftButton);
    QTest::mouseClick(window->pianoKey(11, 7), Qt::LeftButton);
    QTest::mouseClick(window->pianoKey(10, 6), Qt::LeftButton);
    EXPECT_EQ(text(*window), "Pelorin:d=8,o=5,b=125:c#,e,p,a6.,1c4,1b7,1a#6");
    EXPECT_EQ(window->pianoKey(10, 6)->text().toStdString(), "A#6");
    EXPECT_EQ(window->table()->rowCount(), 7);
    EXPECT_EQ(row(*window, 5), "b|7|1||");

    // Saved and opened again through the program's files.
    ASSERT_TRUE(window->saveFile("/tunes/t.ott"));
    const auto decoded = ringtone::decodeSmartMessaging(files.files.at("/tunes/t.ott"));
    ASSERT_TRUE(decoded.ringtone) << decoded.error;
    EXPECT_EQ(*decoded.ringtone, window->editing().ringtone());
    files.files["/tunes/other.rtttl"] = {'x', ':', ':', 'g', '7'};
    ASSERT_TRUE(window->openFile("/tunes/other.rtttl"));
    EXPECT_EQ(text(*window), "x:d=4,o=7,b=63:g");
    EXPECT_FALSE(window->openFile("/tunes/missing.mid"));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"/tunes/missing.mid: cannot be read"});

    // Without a sound device Play says so and nothing fails.
    window->play();
    const std::string status = window->status()->text().toStdString();
    EXPECT_TRUE(status == "Playing" || status == "No sound device: the tune cannot be played here") << status;
    window->stop();
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(RingtoneWindowTest, SendRefusesWhatCannotGo) {
    RingtoneWindow* window = openWindow();
    ASSERT_NE(window, nullptr);
    frame().action(kSendRingtone)->trigger();
    EXPECT_EQ(messages.shown, std::vector<std::string>{"The ringtone has no notes to send"});
    window->textEdit()->setPlainText("x:d=4:c,c9");
    frame().action(kSendRingtone)->trigger();
    EXPECT_EQ(messages.shown.back(), "Octave 9 is outside 4 to 7 at 10");
    std::string tune = "x:d=32,o=5:";
    for (int k = 0; k < 300; ++k) tune += k ? ",c" : "c";
    window->textEdit()->setPlainText(QString::fromStdString(tune));
    frame().action(kSendRingtone)->trigger();
    EXPECT_EQ(messages.shown.back(),
              "The ringtone takes 462 octets, more than 3 messages carry (384): its first 248 notes would fit");
}

// The editor with the simulated phone at the far end, at a tenth of the waits.
using RingtoneSendTest = PhoneEditorFixture;

TEST_F(RingtoneSendTest, SendRingtoneArrivesWithTheGroupGraphicNumberDialog) {
    frame().action(kRingtone)->trigger();
    auto* window = frame().findChild<RingtoneWindow*>("ringtone-window");
    ASSERT_NE(window, nullptr);
    window->textEdit()->setPlainText("Hello:d=8,o=5,b=140:c,e,g,4c6.");
    whenModal<SimpleSendDialog>([](SimpleSendDialog& dialog) {
        retype(dialog.findChild<QLineEdit*>("number"), "+4917055");
        dialog.findChild<QPushButton*>("send")->click();
    });
    frame().action(kSendRingtone)->trigger();
    ASSERT_TRUE(waitUntil([this] { return !messages.shown.empty(); }));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Ringtone was successfully sent"});
    EXPECT_EQ(settings.find("Last", "Number"), "+4917055");
    const auto log = readPhoneLog(store.path());
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].at("kind"), "ringtone");
    EXPECT_EQ(log[0].at("number"), "+4917055");
    EXPECT_EQ(readFileText(store.path() / "ringtone-0001.rtttl"), "Hello:d=4,o=5,b=140:8c5,8e5,8g5,4c6.\n");
}

}  // namespace
}  // namespace pelorin::testing
