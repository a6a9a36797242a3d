// The send dialogs and the Settings dialog on the offscreen platform, driven
// by typed keys and mouse picks.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "dialogs/operator_logo_send_dialog.h"
#include "dialogs/picture_send_dialog.h"
#include "dialogs/settings_dialog.h"
#include "dialogs/simple_send_dialog.h"
#include "document/document.h"
#include "gui_test_helpers.h"
#include "settings/memory_settings_store.h"

namespace pelorin {
namespace {

using testing::child;
using testing::pickItem;
using testing::WatchingMessages;

QStringList itemTexts(QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
    return texts;
}

// An operator-logo dialog opened with remembered values, and its controls.
struct OperatorDialog {
    OperatorDialog(const char* number, const char* country, const char* code, int report = 1)
        : dialog(nullptr, doc, messages) {
        dialog.number = number;
        dialog.countryCode = country;
        dialog.operatorCode = code;
        dialog.deliveryReport = report;
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        numberEdit = child<QLineEdit>(dialog, "number");
        countryCode = child<QLineEdit>(dialog, "countryCode");
        operatorCode = child<QLineEdit>(dialog, "operatorCode");
        report_ = child<QCheckBox>(dialog, "deliveryReport");
        countries = child<QComboBox>(dialog, "countryList");
        operators = child<QComboBox>(dialog, "operatorList");
        send = child<QPushButton>(dialog, "send");
    }

    QString country() const { return countries->currentIndex() < 0 ? QString() : countries->currentText(); }
    QString selectedOperator() const { return operators->currentIndex() < 0 ? QString() : operators->currentText(); }

    CPelorinDoc doc;
    WatchingMessages messages;
    OperatorLogoSendDialog dialog;
    QLineEdit* numberEdit;
    QLineEdit* countryCode;
    QLineEdit* operatorCode;
    QCheckBox* report_;
    QComboBox* countries;
    QComboBox* operators;
    QPushButton* send;
};

const QStringList kGermanOperators = {"D1 DeTe Mobil", "D2 Mannesmann Mobilfunk", "E-Plus Mobilfunk", "Viag Interkom"};

TEST(OperatorLogoSendDialogTest, OpensWithTheRememberedValues) {
    {
        OperatorDialog d("+4917", "000", "00");
        EXPECT_EQ(d.dialog.windowTitle(), "Send logo");
        EXPECT_EQ(d.numberEdit->text(), "+4917");
        EXPECT_EQ(d.countries->count(), 116);
        EXPECT_EQ(d.country(), "");
        EXPECT_EQ(d.operators->count(), 0);
        EXPECT_EQ(d.countryCode->text(), "000");
        EXPECT_EQ(d.operatorCode->text(), "00");
        EXPECT_TRUE(d.report_->isChecked());
        EXPECT_TRUE(d.send->hasFocus());
        d.send->click();
        EXPECT_EQ(d.dialog.result(), QDialog::Accepted);
        EXPECT_EQ(d.dialog.number, "+4917");
        EXPECT_EQ(d.dialog.countryCode, "000");
        EXPECT_EQ(d.dialog.operatorCode, "00");
        EXPECT_EQ(d.dialog.deliveryReport, 1);
        EXPECT_TRUE(d.messages.shown.empty());
    }
    {
        OperatorDialog d("+49", "262", "02", 0);
        EXPECT_EQ(d.country(), "Germany");
        EXPECT_EQ(itemTexts(d.operators), kGermanOperators);
        EXPECT_EQ(d.selectedOperator(), "D2 Mannesmann Mobilfunk");
        EXPECT_EQ(d.operatorCode->text(), "02");
        EXPECT_FALSE(d.report_->isChecked());
        // Each operator entry carries its MNC characters, the first in the lowest byte.
        EXPECT_EQ(d.operators->itemData(1).toUInt(), 0x3230u);
        EXPECT_EQ(d.operators->itemData(3).toUInt(), 0x3730u);
    }
    {
        OperatorDialog d("+49", "262", "99");
        EXPECT_EQ(d.country(), "Germany");
        EXPECT_EQ(itemTexts(d.operators), kGermanOperators);
        EXPECT_EQ(d.selectedOperator(), "");
        EXPECT_EQ(d.operatorCode->text(), "99");
    }
}

TEST(OperatorLogoSendDialogTest, TypedCodesAndPickedNamesKeepEachOtherInStep) {
    OperatorDialog d("+", "", "42");
    QTest::keyClicks(d.countryCode, "310");
    EXPECT_EQ(d.country(), "Papua New Guinea");
    EXPECT_EQ(d.operators->count(), 10);
    EXPECT_EQ(d.operators->itemText(0), "Pacific Mobile Comms");
    EXPECT_EQ(d.selectedOperator(), "Pacific Mobile Comms");
    EXPECT_EQ(d.operatorCode->text(), "01");

    // Deleting one character forgets the country and its operators but not the operator code.
    QTest::keyClick(d.countryCode, Qt::Key_Backspace);
    EXPECT_EQ(d.countryCode->text(), "31");
    EXPECT_EQ(d.country(), "");
    EXPECT_EQ(d.operators->count(), 0);
    EXPECT_EQ(d.operatorCode->text(), "01");

    pickItem(d.countries, "U.S.A.");
    EXPECT_EQ(d.country(), "U.S.A.");
    EXPECT_EQ(d.countryCode->text(), "310");
    EXPECT_EQ(d.operators->count(), 10);
    EXPECT_EQ(d.selectedOperator(), "Pacific Mobile Comms");
    EXPECT_EQ(d.operatorCode->text(), "01");

    pickItem(d.operators, "Powertel");
    EXPECT_EQ(d.operatorCode->text(), "27");
    EXPECT_EQ(d.country(), "U.S.A.");

    // One character of an operator code selects nothing.
    QTest::keyClick(d.operatorCode, Qt::Key_Backspace);
    EXPECT_EQ(d.selectedOperator(), "");
    QTest::keyClicks(d.operatorCode, "6");
    EXPECT_EQ(d.selectedOperator(), "Western Wireless Voicestream");

    // A code of no country clears the lists and leaves the operator code alone.
    testing::retype(d.countryCode, "999");
    EXPECT_EQ(d.country(), "");
    EXPECT_EQ(d.operators->count(), 0);
    EXPECT_EQ(d.operatorCode->text(), "26");

    testing::retype(d.countryCode, "634");
    EXPECT_EQ(d.country(), "Mozambique");
    testing::retype(d.operatorCode, "01");
    EXPECT_EQ(d.selectedOperator(), "Telecom de Mocambique");
    EXPECT_EQ(d.operators->currentIndex(), 0);
    EXPECT_TRUE(d.messages.shown.empty());
}

TEST(OperatorLogoSendDialogTest, SendChecksTheNumberAndTheCodes) {
    OperatorDialog d("+49", "262", "02");
    testing::retype(d.countryCode, "26");
    testing::retype(d.operatorCode, "2");
    d.send->click();
    EXPECT_EQ(d.messages.shown, std::vector<std::string>{"Please type 3-digits number in Country code"});
    EXPECT_TRUE(d.countryCode->hasFocus());
    EXPECT_TRUE(d.dialog.isVisible());

    // A valid country code takes its first operator's code; the user then shortens it.
    testing::retype(d.countryCode, "262");
    EXPECT_EQ(d.operatorCode->text(), "01");
    testing::retype(d.operatorCode, "2");
    d.send->click();
    ASSERT_EQ(d.messages.shown.size(), 2u);
    EXPECT_EQ(d.messages.shown[1], "Please type 2-digits number in Operator code");
    EXPECT_TRUE(d.operatorCode->hasFocus());
    EXPECT_TRUE(d.dialog.isVisible());

    // Letters in either code: the length message of that code and its focus;
    // letters in the number: the number's message and focus.
    struct Case {
        const char* number;
        const char* country;
        const char* code;
        const char* message;
        QLineEdit* focus;
    } cases[] = {
        {"+49", "abc", "02", "Please type 3-digits number in Country code", d.countryCode},
        {"+49", "262", "xy", "Please type 2-digits number in Operator code", d.operatorCode},
        {"KO", "262", "02", "Please type the number in To as digits 0-9, * or #, with an optional + in front",
         d.numberEdit},
        {"", "262", "02", "Please type the number in To as digits 0-9, * or #, with an optional + in front",
         d.numberEdit},
        {"+", "262", "02", "Please type the number in To as digits 0-9, * or #, with an optional + in front",
         d.numberEdit},
        {"123456789012345678901", "262", "02", "The number in To has more than 20 digits", d.numberEdit},
    };
    for (const Case& c : cases) {
        d.messages.shown.clear();
        testing::retype(d.numberEdit, c.number);
        testing::retype(d.countryCode, c.country);
        testing::retype(d.operatorCode, c.code);
        d.send->setFocus();
        d.send->click();
        EXPECT_EQ(d.messages.shown, std::vector<std::string>{c.message}) << c.number << " " << c.country << c.code;
        EXPECT_TRUE(c.focus->hasFocus()) << c.number << " " << c.country << c.code;
        EXPECT_TRUE(d.dialog.isVisible());
    }

    // A number typed with separators passes as its digits.
    d.messages.shown.clear();
    testing::retype(d.numberEdit, "0170 123 45");
    testing::retype(d.countryCode, "262");
    testing::retype(d.operatorCode, "02");
    QTest::keyClick(d.operatorCode, Qt::Key_Return);  // Enter acts on "Send"
    EXPECT_EQ(d.dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(d.dialog.isVisible());
    EXPECT_EQ(d.dialog.number, "017012345");
    EXPECT_TRUE(d.messages.shown.empty());
}

TEST(PictureSendDialogTest, TextOfAHundredCharactersPassesAndOneMoreIsRefused) {
    WatchingMessages messages;
    PictureSendDialog dialog(nullptr, messages);
    dialog.number = "+4917";
    dialog.deliveryReport = 1;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    EXPECT_EQ(dialog.windowTitle(), "Send logo");
    auto* text = child<QPlainTextEdit>(dialog, "messageText");
    EXPECT_EQ(text->toPlainText(), "");
    EXPECT_EQ(child<QLineEdit>(dialog, "number")->text(), "+4917");

    // The count follows the typing, in characters (one outside the 16-bit
    // range); a 101st is refused as it is typed, with no message.
    auto* count = child<QLabel>(dialog, "characterCount");
    EXPECT_EQ(count->text(), "0/100");
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString hundred = QString(99, QChar('x')) + smile;
    QTest::keyClicks(text, QString(36, QChar('x')));
    EXPECT_EQ(count->text(), "36/100");
    QTest::keyClicks(text, QString(63, QChar('x')));
    QTest::sendKeyEvent(QTest::Click, text, Qt::Key_unknown, smile, Qt::NoModifier);
    EXPECT_EQ(count->text(), "100/100");
    QTest::keyClicks(text, "y");
    EXPECT_EQ(text->toPlainText(), hundred);
    EXPECT_EQ(count->text(), "100/100");
    EXPECT_TRUE(messages.shown.empty());

    QTest::keyClick(text, Qt::Key_Enter);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.messageText, hundred.toStdString());
    EXPECT_EQ(dialog.deliveryReport, 1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(SimpleSendDialogTest, RefusesLettersAndAnEmptyNumberAndSendsTheDigitsTyped) {
    WatchingMessages messages;
    SimpleSendDialog dialog(nullptr, messages);
    dialog.number = "+4917";
    dialog.deliveryReport = 1;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    EXPECT_EQ(dialog.windowTitle(), "Send logo");
    for (const char* number : {"+49KO", "", "+"}) {
        messages.shown.clear();
        testing::retype(child<QLineEdit>(dialog, "number"), number);
        child<QPushButton>(dialog, "send")->setFocus();
        child<QPushButton>(dialog, "send")->click();
        EXPECT_EQ(
            messages.shown,
            std::vector<std::string>{"Please type the number in To as digits 0-9, * or #, with an optional + in front"})
            << number;
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(child<QLineEdit>(dialog, "number")->hasFocus()) << number;
    }
    testing::retype(child<QLineEdit>(dialog, "number"), "+49 (170) 123-45");
    QTest::mouseClick(child<QCheckBox>(dialog, "deliveryReport"), Qt::LeftButton);
    child<QPushButton>(dialog, "send")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.number, "+4917012345");
    EXPECT_EQ(dialog.deliveryReport, 0);
}

TEST(SendDialogLayoutTest, DialogsAreAsCompactAsTheirRowsWithSmallCodeBoxesUnderTheLists) {
    CPelorinDoc doc;
    WatchingMessages messages;
    OperatorLogoSendDialog operatorDialog(nullptr, doc, messages);
    PictureSendDialog pictureDialog(nullptr, messages);
    SimpleSendDialog simpleDialog(nullptr, messages);
    for (QDialog* dialog : std::initializer_list<QDialog*>{&operatorDialog, &pictureDialog, &simpleDialog}) {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        // No taller than the handheld-sized main window, and no bigger than
        // its rows need.
        EXPECT_LE(dialog->height(), 320) << dialog->metaObject()->className();
        EXPECT_EQ(dialog->size(), dialog->sizeHint()) << dialog->metaObject()->className();
    }

    // The picture text shows four lines, not more.
    auto* text = child<QPlainTextEdit>(pictureDialog, "messageText");
    const int line = text->fontMetrics().lineSpacing();
    EXPECT_GE(text->viewport()->height(), 4 * line);
    EXPECT_LT(text->viewport()->height(), 5 * line);
    EXPECT_LE(text->width(), child<QLineEdit>(pictureDialog, "number")->width());

    // The code boxes: a few digits wide, below the operator list, within its
    // right edge.
    auto* operators = child<QComboBox>(operatorDialog, "operatorList");
    const QRect listArea(operators->mapTo(&operatorDialog, QPoint(0, 0)), operators->size());
    for (const char* name : {"countryCode", "operatorCode"}) {
        auto* code = child<QLineEdit>(operatorDialog, name);
        const QRect box(code->mapTo(&operatorDialog, QPoint(0, 0)), code->size());
        EXPECT_LT(box.width(), listArea.width() / 3) << name;
        EXPECT_GE(box.top(), listArea.bottom()) << name;
        EXPECT_LE(box.right(), listArea.right()) << name;
        EXPECT_GE(code->width(), code->fontMetrics().horizontalAdvance(name[0] == 'c' ? "000" : "00")) << name;
    }
}

// Runs the Settings command; `act` works the dialog once it is up.
void runSettings(CPelorinDoc& doc, SettingsStore& store, const std::vector<std::string>& devices,
                 std::function<void(SettingsDialog&)> act, const std::string& simulatedPort = {}) {
    testing::whenModal<SettingsDialog>(std::move(act));
    runSettingsCommand(nullptr, doc, store, devices, simulatedPort);
}

QString selectedPort(SettingsDialog& dialog) {
    auto* list = child<QComboBox>(dialog, "portList");
    return list->currentIndex() < 0 ? QString() : list->currentText();
}

TEST(SettingsDialogTest, PreselectsTheStoredPortAndStoresTheChoice) {
    MemorySettingsStore store;
    CPelorinDoc doc(store);
    const std::vector<std::string> devices = {"/dev/ttyUSB0", "/dev/serial/by-id/usb-Maker_Phone-if00"};
    runSettings(doc, store, devices, [&](SettingsDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Settings");
        EXPECT_EQ(itemTexts(child<QComboBox>(dialog, "portList")),
                  QStringList({"COM1 (/dev/ttyS0)", "COM2 (/dev/ttyS1)", "COM3 (/dev/ttyS2)", "COM4 (/dev/ttyS3)",
                               "/dev/ttyUSB0", "/dev/serial/by-id/usb-Maker_Phone-if00"}));
        EXPECT_EQ(selectedPort(dialog), "COM3 (/dev/ttyS2)");
        pickItem(child<QComboBox>(dialog, "portList"), "COM1 (/dev/ttyS0)");
        child<QPushButton>(dialog, "ok")->click();
    });
    EXPECT_EQ(store.find("Settings", "COMport"), "COM1:");

    CPelorinDoc nextRun(store);
    runSettings(nextRun, store, devices, [&](SettingsDialog& dialog) {
        EXPECT_EQ(selectedPort(dialog), "COM1 (/dev/ttyS0)");
        pickItem(child<QComboBox>(dialog, "portList"), "/dev/serial/by-id/usb-Maker_Phone-if00");
        child<QPushButton>(dialog, "ok")->click();
    });
    EXPECT_EQ(store.find("Settings", "COMport"), "/dev/serial/by-id/usb-Maker_Phone-if00");

    CPelorinDoc third(store);
    runSettings(third, store, devices, [&](SettingsDialog& dialog) {
        EXPECT_EQ(selectedPort(dialog), "/dev/serial/by-id/usb-Maker_Phone-if00");
        pickItem(child<QComboBox>(dialog, "portList"), "COM2 (/dev/ttyS1)");
        child<QPushButton>(dialog, "cancel")->click();
    });
    EXPECT_EQ(third.comPort, "/dev/serial/by-id/usb-Maker_Phone-if00");
    EXPECT_EQ(store.find("Settings", "COMport"), "/dev/serial/by-id/usb-Maker_Phone-if00");
}

TEST(SettingsDialogTest, PortOfAnotherToolSelectsNothingAndOkKeepsIt) {
    MemorySettingsStore store;
    store.writeString("Settings", "COMport", "COM7:");
    CPelorinDoc doc(store);
    runSettings(doc, store, {}, [&](SettingsDialog& dialog) {
        EXPECT_EQ(child<QComboBox>(dialog, "portList")->count(), 4);
        EXPECT_EQ(selectedPort(dialog), "");
        child<QPushButton>(dialog, "ok")->click();
    });
    EXPECT_EQ(doc.comPort, "COM7:");
    EXPECT_EQ(store.find("Settings", "COMport"), "COM7:");
}

TEST(SettingsDialogTest, FixedWaitsAreRememberedAndTheSimulatedPhoneIsNamed) {
    MemorySettingsStore store;
    CPelorinDoc doc(store);
    runSettings(doc, store, {}, [](SettingsDialog& dialog) {
        auto* box = child<QCheckBox>(dialog, "fixedWaits");
        EXPECT_EQ(box->text(), "Wait fixed times between commands (for phones that need it)");
        EXPECT_FALSE(box->isChecked());
        EXPECT_EQ(dialog.findChild<QLabel*>("simulatedPhoneNote"), nullptr);
        QTest::mouseClick(box, Qt::LeftButton);
        child<QPushButton>(dialog, "ok")->click();
    });
    EXPECT_EQ(doc.fixedWaits, 1);
    EXPECT_EQ(store.find("Settings", "FixedWaits"), "1");

    // The next run reads it back; with the simulated phone the dialog says
    // where this run's sends go, and the port chosen is still stored.
    CPelorinDoc nextRun(store);
    EXPECT_EQ(nextRun.fixedWaits, 1);
    runSettings(
        nextRun, store, {},
        [](SettingsDialog& dialog) {
            auto* box = child<QCheckBox>(dialog, "fixedWaits");
            EXPECT_TRUE(box->isChecked());
            EXPECT_EQ(child<QLabel>(dialog, "simulatedPhoneNote")->text(),
                      "Sends go to the simulated phone on /tmp/sim/phone in this run; the port chosen here is kept "
                      "for the next run.");
            QTest::mouseClick(box, Qt::LeftButton);
            pickItem(child<QComboBox>(dialog, "portList"), "COM2 (/dev/ttyS1)");
            child<QPushButton>(dialog, "ok")->click();
        },
        "/tmp/sim/phone");
    EXPECT_EQ(store.find("Settings", "FixedWaits"), "0");
    EXPECT_EQ(store.find("Settings", "COMport"), "COM2:");
}

}  // namespace
}  // namespace pelorin
