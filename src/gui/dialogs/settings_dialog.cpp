#include "dialogs/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <thread>

#include "dialogs/dialog_text.h"
#include "document/document.h"
#include "platform/port_probe.h"
#include "platform/serial_port.h"
#include "settings/line_settings.h"
#include "settings/port_list.h"
#include "settings/remembered_values.h"
#include "sms/post_target.h"
#include "sms/send_events.h"
#include "smsc/smsc_send_path.h"

namespace pelorin {

namespace {

inline constexpr QEvent::Type kProbesDone = sendEventType(0x80000010u);

// The probes of "Find phone", handed from the worker to the dialog.
class ProbesEvent final : public QEvent {
public:
    explicit ProbesEvent(std::vector<PortProbe> found) : QEvent(kProbesDone), probes(std::move(found)) {}
    std::vector<PortProbe> probes;
};

// The device path an item of the port list stands for.
std::string itemPath(const std::string& item) {
    return item.starts_with("/") ? item : devicePathForPortName(item + ":");
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* parent, const CPelorinDoc& doc, const std::vector<std::string>& devices,
                               const std::string& simulatedPort, const std::string& simulatedCentre)
    : QDialog(parent), doc_(doc), items_(settingsPortItems(devices)) {
    setWindowTitle(tr("Settings"));
    auto* okButton = new QPushButton(tr("OK"), this);
    auto* cancelButton = new QPushButton(tr("Cancel"), this);
    portList_ = new QComboBox(this);
    okButton->setObjectName("ok");
    cancelButton->setObjectName("cancel");
    portList_->setObjectName("portList");
    okButton->setDefault(true);
    for (const std::string& item : items_) portList_->addItem(toQString(settingsPortItemLabel(item)));
    portList_->setCurrentIndex(-1);
    fixedWaitsBox_ = new QCheckBox(tr("Wait fixed times between commands (for phones that need it)"), this);
    fixedWaitsBox_->setObjectName("fixedWaits");
    smsCentreEdit_ = new QLineEdit(this);
    smsCentreEdit_->setObjectName("smsCentre");
    smsCentreEdit_->setMaxLength(21);
    smsCentreEdit_->setPlaceholderText(tr("such as +491722270333"));
    smsCentreEdit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\+?[0-9]{0,20}")), smsCentreEdit_));
    slowWritesBox_ = new QCheckBox(tr("Write slowly (for phones that drop characters)"), this);
    slowWritesBox_->setObjectName("slowWrites");
    lineLogBox_ = new QCheckBox(tr("Keep a log of the phone dialogue"), this);
    lineLogBox_->setObjectName("lineLog");
    sendThroughList_ = new QComboBox(this);
    sendThroughList_->setObjectName("sendThrough");
    sendThroughList_->addItem(tr("Phone on serial port"));
    sendThroughList_->addItem(tr("SMS centre"));
    smscAddressEdit_ = new QLineEdit(this);
    smscAddressEdit_->setObjectName("smscAddress");
    smscAddressEdit_->setPlaceholderText(tr("smpp://ID@HOST:PORT or kannel://USER@HOST:PORT"));
    smscProblem_ = new QLabel(this);
    smscProblem_->setObjectName("smscProblem");
    smscProblem_->setWordWrap(true);
    smscProblem_->setVisible(false);
    findButton_ = new QPushButton(tr("Find phone"), this);
    findButton_->setObjectName("findPhone");
    findButton_->setAutoDefault(false);
    found_ = new QListWidget(this);
    found_->setObjectName("foundPorts");
    found_->setVisible(false);
    self_ = std::make_shared<PostTarget>(this);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("COM port number"), this));
    row->addWidget(portList_, 1);
    row->addWidget(findButton_);
    auto* centreRow = new QHBoxLayout;
    centreRow->addWidget(new QLabel(tr("SMS centre number"), this));
    centreRow->addWidget(smsCentreEdit_, 1);
    auto* throughRow = new QHBoxLayout;
    throughRow->addWidget(new QLabel(tr("Send through"), this));
    throughRow->addWidget(sendThroughList_);
    throughRow->addWidget(smscAddressEdit_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(okButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(throughRow);
    layout->addWidget(smscProblem_);
    layout->addLayout(row);
    layout->addWidget(found_);
    if (!simulatedPort.empty()) {
        QString text = tr("Sends go to the simulated phone on %1 in this run; the port chosen here is kept "
                          "for the next run.")
                           .arg(toQString(simulatedPort));
        if (!simulatedCentre.empty())
            text += tr(" Through an SMS centre they go to the simulated phone's, %1, whatever address is given.")
                        .arg(toQString(simulatedCentre));
        auto* note = new QLabel(text, this);
        note->setObjectName("simulatedPhoneNote");
        note->setWordWrap(true);
        layout->addWidget(note);
    }
    layout->addWidget(fixedWaitsBox_);
    layout->addWidget(slowWritesBox_);
    layout->addWidget(lineLogBox_);
    layout->addLayout(centreRow);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(okButton, cancelButton);
    setTabOrder(cancelButton, sendThroughList_);
    setTabOrder(sendThroughList_, smscAddressEdit_);
    setTabOrder(smscAddressEdit_, portList_);
    setTabOrder(portList_, findButton_);
    setTabOrder(findButton_, fixedWaitsBox_);
    setTabOrder(fixedWaitsBox_, slowWritesBox_);
    setTabOrder(slowWritesBox_, lineLogBox_);
    setTabOrder(lineLogBox_, smsCentreEdit_);
    connect(findButton_, &QPushButton::clicked, this, &SettingsDialog::findPhone);
    connect(sendThroughList_, &QComboBox::activated, this,
            [this](int index) { smscAddressEdit_->setEnabled(index == kSendThroughCentre); });
    connect(okButton, &QPushButton::clicked, this, &SettingsDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &SettingsDialog::reject);
}

void SettingsDialog::transferToControls() {
    const QSignalBlocker blocker(portList_);
    const auto selection = settingsPortItemSelection(items_, doc_.comPort);
    portList_->setCurrentIndex(selection ? static_cast<int>(*selection) : -1);
    fixedWaitsBox_->setChecked(doc_.fixedWaits != 0);
    smsCentreEdit_->setText(toQString(doc_.smsCentre));
    slowWritesBox_->setChecked(doc_.slowWrites != 0);
    lineLogBox_->setChecked(doc_.lineLog != 0);
    const QSignalBlocker throughBlocker(sendThroughList_);
    sendThroughList_->setCurrentIndex(doc_.sendThrough == kSendThroughCentre ? 1 : 0);
    smscAddressEdit_->setText(toQString(doc_.smscAddress));
    smscAddressEdit_->setEnabled(doc_.sendThrough == kSendThroughCentre);
}

void SettingsDialog::transferFromControls() {
    const int selected = portList_->currentIndex();
    portName = selected >= 0 && selected < static_cast<int>(items_.size()) ? items_[static_cast<std::size_t>(selected)]
                                                                           : std::string();
    fixedWaits = fixedWaitsBox_->isChecked() ? 1 : 0;
    smsCentre = smsCentreEdit_->text().toStdString();
    slowWrites = slowWritesBox_->isChecked() ? 1 : 0;
    lineLog = lineLogBox_->isChecked() ? 1 : 0;
    sendThrough = sendThroughList_->currentIndex() == 1 ? kSendThroughCentre : kSendThroughPhone;
    smscAddress = toUtf8(smscAddressEdit_->text().trimmed());
}

SettingsDialog::~SettingsDialog() { self_->detach(); }

void SettingsDialog::findPhone() {
    if (finding_) return;
    finding_ = true;
    findButton_->setEnabled(false);
    found_->clear();
    found_->addItem(tr("Asking each port..."));
    found_->setVisible(true);
    std::vector<std::string> paths;
    for (const std::string& item : items_) paths.push_back(itemPath(item));
    // The worker keeps its own share of the target, which drops the answer
    // once the dialog has gone.
    std::thread([paths, target = self_] {
        auto opener = makePosixSerialPortOpener();
        target->post(std::make_unique<ProbesEvent>(probePorts(paths, *opener)));
    }).detach();
}

bool SettingsDialog::event(QEvent* event) {
    if (event->type() != kProbesDone) return QDialog::event(event);
    const auto& probes = static_cast<ProbesEvent*>(event)->probes;
    finding_ = false;
    findButton_->setEnabled(true);
    found_->clear();
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < probes.size() && i < items_.size(); ++i) {
        std::string line = items_[i] + ": " + describeProbeState(probes[i]);
        if (!probes[i].identity.empty()) line += ", " + probes[i].identity;
        found_->addItem(toQString(line));
        if (!first && probes[i].state == PortProbe::State::Answers) first = i;
    }
    if (first) {
        const QSignalBlocker blocker(portList_);
        portList_->setCurrentIndex(static_cast<int>(*first));
        found_->setCurrentRow(static_cast<int>(*first));
    } else {
        found_->addItem(tr("No port answers: check the cable, and that the phone is on"));
    }
    return true;
}

void SettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (opened_) return;
    opened_ = true;
    transferToControls();
}

void SettingsDialog::accept() {
    transferFromControls();
    // The address is checked only when sends are to go there; an address
    // kept for later must still be one, or it is not kept.
    std::string error;
    if ((sendThrough == kSendThroughCentre || !smscAddress.empty()) && !smsc::parseSmscRoute(smscAddress, error)) {
        smscProblem_->setText(toQString(smscAddress.empty() ? std::string("Give the SMS centre's address") : error));
        smscProblem_->setVisible(true);
        smscAddressEdit_->setEnabled(true);
        smscAddressEdit_->setFocus();
        return;
    }
    QDialog::accept();
}

void runSettingsCommand(QWidget* parent, CPelorinDoc& doc, SettingsStore& store,
                        const std::vector<std::string>& devices, const std::string& simulatedPort,
                        const std::string& simulatedCentre) {
    SettingsDialog dialog(parent, doc, devices, simulatedPort, simulatedCentre);
    if (dialog.exec() != QDialog::Accepted) return;
    rememberPortItem(doc, store, dialog.portName);
    rememberFixedWaits(doc, store, dialog.fixedWaits);
    rememberLineSettings(doc, store, dialog.smsCentre, dialog.slowWrites, dialog.lineLog);
    rememberSendThrough(doc, store, dialog.sendThrough, dialog.smscAddress);
}

}  // namespace pelorin
