#include "dialogs/operator_logo_send_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "dialogs/dialog_text.h"
#include "dialogs/send_dialog_controls.h"
#include "document/document.h"
#include "document/user_messages.h"

namespace pelorin {

namespace {

// Sets the text only when it differs, so that the user's cursor stays where it
// was when the program writes back what the edit already shows.
void putText(QLineEdit* edit, const std::string& text) {
    const QSignalBlocker blocker(edit);
    const QString wanted = toQString(text);
    if (edit->text() != wanted) edit->setText(wanted);
}

void putSelection(QComboBox* list, std::optional<std::size_t> position) {
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(position ? static_cast<int>(*position) : -1);
}

}  // namespace

OperatorLogoSendDialog::OperatorLogoSendDialog(QWidget* parent, const CPelorinDoc& doc, UserMessages& messages)
    : QDialog(parent), choice_(doc), messages_(messages) {
    SendDialogControls controls(*this);
    sendButton_ = controls.send;
    numberEdit_ = controls.number;
    reportBox_ = controls.report;
    countryCodeEdit_ = new QLineEdit(this);
    operatorCodeEdit_ = new QLineEdit(this);
    countryList_ = new QComboBox(this);
    operatorList_ = new QComboBox(this);
    countryCodeEdit_->setObjectName("countryCode");
    operatorCodeEdit_->setObjectName("operatorCode");
    countryList_->setObjectName("countryList");
    operatorList_->setObjectName("operatorList");
    countryList_->setMaxVisibleItems(12);

    QGridLayout* grid = controls.grid;
    grid->addWidget(new QLabel(tr("Country"), this), 1, 0);
    grid->addWidget(countryList_, 1, 1, 1, 3);
    grid->addWidget(new QLabel(tr("Operator"), this), 2, 0);
    grid->addWidget(operatorList_, 2, 1, 1, 3);
    grid->addWidget(countryCodeEdit_, 3, 1);
    grid->addWidget(new QLabel("-", this), 3, 2, Qt::AlignCenter);
    grid->addWidget(operatorCodeEdit_, 3, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    controls.finish(*this, {numberEdit_, countryCodeEdit_, operatorCodeEdit_, reportBox_, countryList_, operatorList_});

    connect(countryCodeEdit_, &QLineEdit::textEdited, this, [this] { syncFromCountryCode(); });
    connect(operatorCodeEdit_, &QLineEdit::textEdited, this, [this] { syncFromOperatorCode(); });
    connect(countryList_, &QComboBox::activated, this, [this](int position) { onCountryPicked(position); });
    connect(operatorList_, &QComboBox::activated, this, [this](int position) { onOperatorPicked(position); });
}

void OperatorLogoSendDialog::transferToControls() {
    putText(numberEdit_, number);
    putText(countryCodeEdit_, countryCode);
    putText(operatorCodeEdit_, operatorCode);
    const QSignalBlocker blocker(reportBox_);
    reportBox_->setChecked(deliveryReport != 0);
}

void OperatorLogoSendDialog::transferFromControls() {
    number = toUtf8(numberEdit_->text());
    countryCode = toUtf8(countryCodeEdit_->text());
    operatorCode = toUtf8(operatorCodeEdit_->text());
    deliveryReport = reportBox_->isChecked() ? 1 : 0;
}

void OperatorLogoSendDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (opened_) return;
    opened_ = true;
    openNetworkChoice();
}

void OperatorLogoSendDialog::openNetworkChoice() {
    transferToControls();
    {
        const QSignalBlocker blocker(countryList_);
        countryList_->clear();
        for (std::size_t i = 0; i < choice_.countryCount(); ++i) countryList_->addItem(toQString(choice_.countryName(i)));
        countryList_->setCurrentIndex(-1);
    }
    react([this] { choice_.open(); });
    sendButton_->setFocus();
}

void OperatorLogoSendDialog::react(const std::function<void()>& step) {
    transferFromControls();
    choice_.countryCode = countryCode;
    choice_.operatorCode = operatorCode;
    step();
    countryCode = choice_.countryCode;
    operatorCode = choice_.operatorCode;
    showLists();
    transferToControls();
}

void OperatorLogoSendDialog::showLists() {
    {
        const QSignalBlocker blocker(operatorList_);
        operatorList_->clear();
        for (const OperatorEntry& entry : choice_.operators())
            operatorList_->addItem(toQString(entry.name), QVariant::fromValue<quint32>(packMnc(entry.mnc)));
    }
    putSelection(operatorList_, choice_.operatorSelection());
    putSelection(countryList_, choice_.countrySelection());
}

void OperatorLogoSendDialog::fillOperatorList() {
    react([this] { choice_.fillOperatorList(); });
}

void OperatorLogoSendDialog::syncFromCountryCode() {
    react([this] { choice_.syncFromCountryCode(); });
}

void OperatorLogoSendDialog::syncFromOperatorCode() {
    react([this] { choice_.syncFromOperatorCode(); });
}

void OperatorLogoSendDialog::onCountryPicked(int position) {
    if (position < 0) return;
    react([this, position] { choice_.onCountryPicked(static_cast<std::size_t>(position)); });
}

void OperatorLogoSendDialog::onOperatorPicked(int position) {
    if (position < 0) return;
    react([this, position] { choice_.onOperatorPicked(static_cast<std::size_t>(position)); });
}

void OperatorLogoSendDialog::accept() {
    transferFromControls();
    if (const auto problem = checkNetworkCodes(countryCode, operatorCode)) {
        messages_.showMessage(std::string(problem->message));
        if (problem->field == NetworkCodeProblem::Field::CountryCode)
            countryCodeEdit_->setFocus();
        else
            operatorCodeEdit_->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace pelorin
