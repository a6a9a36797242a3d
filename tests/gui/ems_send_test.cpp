// Send > EMS picture: the current canvas, whichever it is, reaches the
// simulated phone as EMS pictures with the picture-message dialog's values.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <fstream>

#include "app/command_table.h"
#include "dialogs/picture_send_dialog.h"
#include "gui_fixture.h"
#include "gui_test_helpers.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/simulated_phone.h"
#include "support/phone_store.h"
#include "support/temp_folder.h"

namespace pelorin::testing {
namespace {

using namespace command;

using EmsSendTest = PhoneEditorFixture;

TEST_F(EmsSendTest, TheLargeCanvasArrivesInStripsWithItsText) {
    frame().action(kViewLargeOperator)->trigger();
    std::vector<QPoint> across;
    for (int x = 1; x <= 5; ++x) across.push_back(cellCentre(x, 2));
    stroke(across);
    whenModal<PictureSendDialog>([](PictureSendDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "EMS picture");
        retype(dialog.findChild<QLineEdit*>("number"), "+4917099");
        QTest::keyClicks(dialog.findChild<QPlainTextEdit*>("messageText"), "EMS here");
        QTest::keyClick(dialog.findChild<QPlainTextEdit*>("messageText"), Qt::Key_Return);
    });
    for (QMenu* menu : frame().menus()) emit menu->aboutToShow();
    ASSERT_TRUE(frame().action(kSendEmsPicture)->isEnabled());
    frame().action(kSendEmsPicture)->trigger();
    ASSERT_TRUE(waitUntil([this] { return !messages.shown.empty(); }));
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Picture message was successfully sent"});

    const auto entries = readPhoneLog(store.path());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].at("kind"), "ems-picture");
    EXPECT_EQ(entries[0].at("size"), "80x21");
    EXPECT_EQ(entries[0].at("parts"), "2");
    EXPECT_EQ(entries[0].at("text"), "EMS here");
    const Canvas& drawn = app->document().largeOperatorCanvas;
    const auto rows = readPhonePicture(store.path(), entries[0].at("file"));
    EXPECT_EQ(pictureMismatch(rows, 80, 21, [&](int x, int y) { return x < 78 && drawn.isSet(x, y); }), "");
    EXPECT_EQ(rows.at(2).substr(0, 7), ".#####.");
}

}  // namespace
}  // namespace pelorin::testing
