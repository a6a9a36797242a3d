#include "dialogs/simple_send_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/dialog_text.h"
#include "dialogs/send_dialog_controls.h"
#include "document/user_messages.h"
#include "sms/encoding.h"
#include "sms/number_list.h"

namespace pelorin {

SimpleSendDialog::SimpleSendDialog(QWidget* parent, UserMessages& messages) : QDialog(parent), messages_(messages) {
    SendDialogControls controls(*this);
    numberEdit_ = controls.number;
    reportBox_ = controls.report;
    sendButton_ = controls.send;
    controls.finish(*this, {numberEdit_, reportBox_});
}

void SimpleSendDialog::transferToControls() {
    numberEdit_->setText(toQString(number));
    reportBox_->setChecked(deliveryReport != 0);
}

void SimpleSendDialog::transferFromControls() {
    number = toUtf8(numberEdit_->text());
    deliveryReport = reportBox_->isChecked() ? 1 : 0;
}

void SimpleSendDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (opened_) return;
    opened_ = true;
    transferToControls();
    sendButton_->setFocus();
}

void SimpleSendDialog::accept() {
    transferFromControls();
    const NumberList list = ParseNumberList(number);
    if (!list.ok()) {
        messages_.showMessage(list.problem);
        numberEdit_->setFocus();
        return;
    }
    numbers = list.numbers;
    number = list.joined();
    QDialog::accept();
}

}  // namespace pelorin
