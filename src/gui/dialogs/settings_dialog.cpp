#include "dialogs/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "dialogs/dialog_text.h"
#include "document/document.h"
#include "settings/port_list.h"
#include "settings/remembered_values.h"

namespace pelorin {

SettingsDialog::SettingsDialog(QWidget* parent, const CPelorinDoc& doc, const std::vector<std::string>& devices,
                               const std::string& simulatedPort)
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

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("COM port number"), this));
    row->addWidget(portList_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(okButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    if (!simulatedPort.empty()) {
        auto* note = new QLabel(tr("Sends go to the simulated phone on %1 in this run; the port chosen here is kept "
                                   "for the next run.")
                                    .arg(toQString(simulatedPort)),
                                this);
        note->setObjectName("simulatedPhoneNote");
        note->setWordWrap(true);
        layout->addWidget(note);
    }
    layout->addWidget(fixedWaitsBox_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(okButton, cancelButton);
    setTabOrder(cancelButton, portList_);
    setTabOrder(portList_, fixedWaitsBox_);
    connect(okButton, &QPushButton::clicked, this, &SettingsDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &SettingsDialog::reject);
}

void SettingsDialog::transferToControls() {
    const QSignalBlocker blocker(portList_);
    const auto selection = settingsPortItemSelection(items_, doc_.comPort);
    portList_->setCurrentIndex(selection ? static_cast<int>(*selection) : -1);
    fixedWaitsBox_->setChecked(doc_.fixedWaits != 0);
}

void SettingsDialog::transferFromControls() {
    const int selected = portList_->currentIndex();
    portName = selected >= 0 && selected < static_cast<int>(items_.size()) ? items_[static_cast<std::size_t>(selected)]
                                                                           : std::string();
    fixedWaits = fixedWaitsBox_->isChecked() ? 1 : 0;
}

void SettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (opened_) return;
    opened_ = true;
    transferToControls();
}

void SettingsDialog::accept() {
    transferFromControls();
    QDialog::accept();
}

void runSettingsCommand(QWidget* parent, CPelorinDoc& doc, SettingsStore& store,
                        const std::vector<std::string>& devices, const std::string& simulatedPort) {
    SettingsDialog dialog(parent, doc, devices, simulatedPort);
    if (dialog.exec() != QDialog::Accepted) return;
    rememberPortItem(doc, store, dialog.portName);
    rememberFixedWaits(doc, store, dialog.fixedWaits);
}

}  // namespace pelorin
