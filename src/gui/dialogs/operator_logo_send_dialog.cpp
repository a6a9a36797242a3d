#include "dialogs/operator_logo_send_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>

#include "dialogs/dialog_text.h"
#include "dialogs/send_dialog_controls.h"
#include "document/document.h"
#include "document/user_messages.h"
#include "platform/cancel_token.h"
#include "sms/encoding.h"
#include "sms/number_list.h"
#include "sms/post_target.h"

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

// The lists' width in characters, about that of the number box.
constexpr int kListCharacters = 20;
constexpr std::size_t kOperatorCodeLength = 2;

// A code box wide enough for its digits and one more, no wider.
void fitCodeEdit(QLineEdit* edit, int digits) {
    const QFontMetrics metrics(edit->font());
    QStyleOptionFrame option;
    option.initFrom(edit);
    const QSize text(metrics.horizontalAdvance(QString(digits + 1, QLatin1Char('0'))), metrics.height());
    edit->setFixedWidth(edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, edit).width());
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

    fromPhoneButton_ = new QPushButton(tr("&From phone"), this);
    fromPhoneButton_->setObjectName("fromPhone");
    fromPhoneButton_->setAutoDefault(false);
    fromPhoneButton_->setEnabled(false);
    fromPhoneLimit_ = new QTimer(this);
    fromPhoneLimit_->setSingleShot(true);
    fromPhoneLimit_->setInterval(kFromPhoneLimitMs);
    self_ = std::make_shared<PostTarget>(this);
    // Long country names would otherwise make the lists, and the dialog, as
    // wide as the longest of them.
    for (QComboBox* list : {countryList_, operatorList_}) {
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(kListCharacters);
    }
    fitCodeEdit(countryCodeEdit_, 3);
    fitCodeEdit(operatorCodeEdit_, 2);

    // The two code boxes sit under the lists at their right edge, "From
    // phone" beside them.
    auto* codes = new QHBoxLayout;
    codes->addWidget(fromPhoneButton_);
    codes->addStretch();
    codes->addWidget(countryCodeEdit_);
    codes->addWidget(new QLabel("-", this));
    codes->addWidget(operatorCodeEdit_);
    QGridLayout* grid = controls.grid;
    grid->addWidget(new QLabel(tr("Country"), this), 1, 0);
    grid->addWidget(countryList_, 1, 1);
    grid->addWidget(new QLabel(tr("Operator"), this), 2, 0);
    grid->addWidget(operatorList_, 2, 1);
    grid->addLayout(codes, 3, 1);
    controls.finish(*this, {numberEdit_, countryCodeEdit_, operatorCodeEdit_, reportBox_, countryList_, operatorList_,
                            fromPhoneButton_});

    connect(fromPhoneButton_, &QPushButton::clicked, this, [this] { askPhoneForNetwork(); });
    connect(fromPhoneLimit_, &QTimer::timeout, this, [this] {
        if (asking_) asking_->cancel();
    });
    connect(countryCodeEdit_, &QLineEdit::textEdited, this, [this] { syncFromCountryCode(); });
    connect(operatorCodeEdit_, &QLineEdit::textEdited, this, [this] { syncFromOperatorCode(); });
    connect(countryList_, &QComboBox::activated, this, [this](int position) { onCountryPicked(position); });
    connect(operatorList_, &QComboBox::activated, this, [this](int position) { onOperatorPicked(position); });
}

OperatorLogoSendDialog::~OperatorLogoSendDialog() {
    self_->detach();
    if (asking_) asking_->cancel();
}

void OperatorLogoSendDialog::setNetworkAsker(NetworkAsker asker) {
    asker_ = std::move(asker);
    fromPhoneButton_->setEnabled(asker_ != nullptr && !asking_);
}

void OperatorLogoSendDialog::askPhoneForNetwork() {
    if (!asker_ || asking_) return;
    asking_ = std::make_shared<CancelToken>();
    fromPhoneButton_->setEnabled(false);
    // The question holds the port; a send started now could not open it.
    sendButton_->setEnabled(false);
    setCursor(Qt::BusyCursor);
    fromPhoneLimit_->start();
    startNetworkQuery(asker_, asking_, self_);
}

bool OperatorLogoSendDialog::event(QEvent* event) {
    if (event->type() != NetworkQueryEvent::kType) return QDialog::event(event);
    phoneAnswered(static_cast<NetworkQueryEvent*>(event)->result());
    return true;
}

// Fills the codes as if the user had typed them, one after the other, so the
// lists follow; a failure changes nothing.
void OperatorLogoSendDialog::phoneAnswered(const NetworkQueryResult& result) {
    asking_.reset();
    fromPhoneLimit_->stop();
    unsetCursor();
    fromPhoneButton_->setEnabled(asker_ != nullptr);
    sendButton_->setEnabled(true);
    if (result.status == NetworkQueryResult::Status::Cancelled) {
        messages_.showMessage("The phone did not answer within " + std::to_string(kFromPhoneLimitMs / 1000) + " s");
        return;
    }
    if (result.status != NetworkQueryResult::Status::Found) {
        messages_.showMessage(result.detail);
        return;
    }
    if (result.mnc.size() != kOperatorCodeLength) {
        messages_.showMessage("The phone is on " + result.mcc + "-" + result.mnc +
                              ", whose three-digit operator code an operator logo cannot carry");
        return;
    }
    countryCodeEdit_->setText(toQString(result.mcc));
    syncFromCountryCode();
    operatorCodeEdit_->setText(toQString(result.mnc));
    syncFromOperatorCode();
    sendButton_->setFocus();
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
        for (std::size_t i = 0; i < choice_.countryCount(); ++i)
            countryList_->addItem(toQString(choice_.countryName(i)));
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
    const NumberList list = ParseNumberList(number);
    if (!list.ok()) {
        messages_.showMessage(list.problem);
        numberEdit_->setFocus();
        return;
    }
    numbers = list.numbers;
    number = list.joined();
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
