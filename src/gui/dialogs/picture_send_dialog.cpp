#include "dialogs/picture_send_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "dialogs/dialog_text.h"
#include "document/user_messages.h"
#include "sms/encoding.h"

namespace pelorin {

PictureSendDialog::PictureSendDialog(QWidget* parent, UserMessages& messages) : QDialog(parent), messages_(messages) {
    setWindowTitle(toQString(kSendDialogCaption));
    sendButton_ = new QPushButton(tr("Send"), this);
    auto* cancelButton = new QPushButton(tr("Cancel"), this);
    numberEdit_ = new QLineEdit(this);
    textEdit_ = new QPlainTextEdit(this);
    reportBox_ = new QCheckBox(tr("Delivery report"), this);
    sendButton_->setObjectName("send");
    cancelButton->setObjectName("cancel");
    numberEdit_->setObjectName("number");
    textEdit_->setObjectName("messageText");
    reportBox_->setObjectName("deliveryReport");
    sendButton_->setDefault(true);
    textEdit_->setTabChangesFocus(true);
    textEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textEdit_->installEventFilter(this);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("To"), this), 0, 0);
    grid->addWidget(numberEdit_, 0, 1);
    grid->addWidget(new QLabel(tr("Text"), this), 1, 0, Qt::AlignTop);
    grid->addWidget(textEdit_, 1, 1);
    grid->addWidget(reportBox_, 2, 1, Qt::AlignRight);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(sendButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabOrder(sendButton_, cancelButton);
    setTabOrder(cancelButton, numberEdit_);
    setTabOrder(numberEdit_, textEdit_);
    setTabOrder(textEdit_, reportBox_);
    connect(sendButton_, &QPushButton::clicked, this, &PictureSendDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &PictureSendDialog::reject);
}

void PictureSendDialog::transferToControls() {
    numberEdit_->setText(toQString(number));
    textEdit_->setPlainText(toQString(messageText));
    reportBox_->setChecked(deliveryReport != 0);
}

void PictureSendDialog::transferFromControls() {
    number = toUtf8(numberEdit_->text());
    messageText = toUtf8(textEdit_->toPlainText());
    deliveryReport = reportBox_->isChecked() ? 1 : 0;
}

void PictureSendDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (opened_) return;
    opened_ = true;
    transferToControls();
    sendButton_->setFocus();
}

bool PictureSendDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == textEdit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            sendButton_->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PictureSendDialog::accept() {
    transferFromControls();
    // Characters as the user sees them, not UTF-16 units or bytes.
    if (textEdit_->toPlainText().toUcs4().size() > static_cast<qsizetype>(kMaxPictureText)) {
        messages_.showMessage(kPictureTextTooLongMessage);
        return;
    }
    QDialog::accept();
}

}  // namespace pelorin
