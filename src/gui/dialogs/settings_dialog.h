#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;

namespace pelorin {

class CPelorinDoc;
class SettingsStore;

// Chooses the serial port of the phone: "COM1" to "COM4" and the serial
// devices present on this computer. Opens with the stored port selected when
// it is one of the items; "OK" reads the selected item into portName (empty
// when nothing is selected) and the "fixed times" box into fixedWaits. The
// caller stores them. With simulatedPort set (a run with the simulated phone)
// a line says that this run's sends go there whatever port is chosen.
class SettingsDialog final : public QDialog {
    Q_OBJECT

public:
    SettingsDialog(QWidget* parent, const CPelorinDoc& doc, const std::vector<std::string>& devices,
                   const std::string& simulatedPort = {});

    std::string portName;
    std::int32_t fixedWaits = 0;

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
    QCheckBox* fixedWaitsBox_;
};

// The Settings command: runs the dialog and, on "OK", stores the chosen port
// and the fixed-waits choice.
void runSettingsCommand(QWidget* parent, CPelorinDoc& doc, SettingsStore& store,
                        const std::vector<std::string>& devices, const std::string& simulatedPort = {});

}  // namespace pelorin
