#include "dialogs/pin_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "sms/sim_replies.h"

namespace pelorin {

PinDialog::PinDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("SIM PIN"));
    pin_ = new QLineEdit(this);
    pin_->setObjectName("pin");
    pin_->setEchoMode(QLineEdit::Password);
    pin_->setMaxLength(8);
    pin_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,8}")), pin_));
    pin_->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
    ok_ = new QPushButton(tr("OK"), this);
    ok_->setObjectName("ok");
    ok_->setDefault(true);
    ok_->setEnabled(false);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName("cancel");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(ok_);
    auto* layout = new QVBoxLayout(this);
    auto* text =
        new QLabel(tr("The phone's SIM asks for its PIN (4 to 8 digits). Three wrong PINs lock the SIM."), this);
    text->setWordWrap(true);
    layout->addWidget(text);
    layout->addWidget(pin_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(pin_, &QLineEdit::textChanged, this,
            [this](const QString& typed) { ok_->setEnabled(IsValidPin(typed.toStdString())); });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<std::string> PinDialog::takePin() {
    std::string typed = pin_->text().toStdString();
    pin_->clear();
    if (result() != QDialog::Accepted || !IsValidPin(typed)) {
        wipeSecret(typed);
        return std::nullopt;
    }
    return typed;
}

std::optional<std::string> askForPin(QWidget* parent) {
    PinDialog dialog(parent);
    dialog.exec();
    return dialog.takePin();
}

}  // namespace pelorin
