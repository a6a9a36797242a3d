#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace pelorin {

class CPelorinDoc;
class PostTarget;
class SettingsStore;

// Chooses the serial port of the phone: "COM1" to "COM4" and the serial
// devices present on this computer. Opens with the stored port selected when
// it is one of the items; "OK" reads the selected item into portName (empty
// when nothing is selected) and the "fixed times" box into fixedWaits, and
// likewise the SMS centre number, "Write slowly" and "Keep a log". The
// caller stores them. "Send through" chooses the phone on the serial port or
// an SMS centre at an smpp:// or kannel:// address, which "OK" checks: a bad
// one is said in the dialog, which stays open. With simulatedPort set (a run
// with the simulated phone) a line says that this run's sends go there
// whatever port is chosen, and to its SMS centre (simulatedCentre) whatever
// address is given.
class SettingsDialog final : public QDialog {
    Q_OBJECT

public:
    SettingsDialog(QWidget* parent, const CPelorinDoc& doc, const std::vector<std::string>& devices,
                   const std::string& simulatedPort = {}, const std::string& simulatedCentre = {});
    ~SettingsDialog() override;

    std::string portName;
    std::int32_t fixedWaits = 0;
    std::string smsCentre;  // "+" and digits, or empty
    std::int32_t slowWrites = 0;
    std::int32_t lineLog = 0;
    std::int32_t sendThrough = 0;  // kSendThroughPhone or kSendThroughCentre
    std::string smscAddress;

    // "Find phone": probes the port list's devices on a worker thread, lists
    // what each did and selects the first that answers.
    void findPhone();
    // The probes are done (for tests).
    bool findingPhone() const { return finding_; }

    void transferToControls();
    void transferFromControls();
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    const CPelorinDoc& doc_;
    std::vector<std::string> items_;
    bool opened_ = false;
    QComboBox* portList_;
    QCheckBox* fixedWaitsBox_;
    QLineEdit* smsCentreEdit_;
    QCheckBox* slowWritesBox_;
    QCheckBox* lineLogBox_;
    QComboBox* sendThroughList_;
    QLineEdit* smscAddressEdit_;
    QLabel* smscProblem_;
    QPushButton* findButton_;
    QListWidget* found_;
    bool finding_ = false;
    std::shared_ptr<PostTarget> self_;
};

// The Settings command: runs the dialog and, on "OK", stores the chosen port
// and the fixed-waits choice, the SMS centre number, slow writes, the log
// choice, and where sends go.
void runSettingsCommand(QWidget* parent, CPelorinDoc& doc, SettingsStore& store,
                        const std::vector<std::string>& devices, const std::string& simulatedPort = {},
                        const std::string& simulatedCentre = {});

}  // namespace pelorin
