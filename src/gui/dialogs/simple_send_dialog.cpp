#include "dialogs/simple_send_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/dialog_text.h"
#include "dialogs/send_dialog_controls.h"

namespace pelorin {

SimpleSendDialog::SimpleSendDialog(QWidget* parent) : QDialog(parent) {
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
    QDialog::accept();
}

}  // namespace pelorin
