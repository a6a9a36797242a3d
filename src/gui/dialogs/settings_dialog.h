#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;

namespace pelorin {

class CPelorinDoc;
class SettingsStore;

// Chooses the serial port of the phone: "COM1" to "COM4" and the serial
// devices present on this computer. Opens with the stored port selected when
// it is one of the items; "OK" reads the selected item into portName (empty
// when nothing is selected). The caller stores it.
class SettingsDialog final : public QDialog {
    Q_OBJECT

public:
    SettingsDialog(QWidget* parent, const CPelorinDoc& doc, const std::vector<std::string>& devices);

    std::string portName;

    void transferToControls();
    void transferFromControls();
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    const CPelorinDoc& doc_;
    std::vector<std::string> items_;
    bool opened_ = false;
    QComboBox* portList_;
};

// The Settings command: runs the dialog and, on "OK", stores the chosen port.
void runSettingsCommand(QWidget* parent, CPelorinDoc& doc, SettingsStore& store,
                        const std::vector<std::string>& devices);

}  // namespace pelorin
