#include "dialogs/simple_send_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/dialog_text.h"

namespace pelorin {

SimpleSendDialog::SimpleSendDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(toQString(kSendDialogCaption));
    sendButton_ = new QPushButton(tr("Send"), this);
    auto* cancelButton = new QPushButton(tr("Cancel"), this);
    numberEdit_ = new QLineEdit(this);
    reportBox_ = new QCheckBox(tr("Delivery report"), this);
    sendButton_->setObjectName("send");
    cancelButton->setObjectName("cancel");
    numberEdit_->setObjectName("number");
    reportBox_->setObjectName("deliveryReport");
    sendButton_->setDefault(true);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("To"), this), 0, 0);
    grid->addWidget(numberEdit_, 0, 1);
    grid->addWidget(reportBox_, 1, 1, Qt::AlignRight);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(sendButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabOrder(sendButton_, cancelButton);
    setTabOrder(cancelButton, numberEdit_);
    setTabOrder(numberEdit_, reportBox_);
    connect(sendButton_, &QPushButton::clicked, this, &SimpleSendDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &SimpleSendDialog::reject);
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
