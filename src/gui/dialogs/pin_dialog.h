#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace pelorin {

// Asks for the SIM's PIN: digits only, 4 to 8 of them, shown as dots; "OK"
// only once the PIN is complete. The PIN is never stored: it is handed to
// the caller once and the field is cleared.
class PinDialog final : public QDialog {
    Q_OBJECT

public:
    explicit PinDialog(QWidget* parent);

    // The PIN typed, taken out of the dialog (nothing after "Cancel").
    std::optional<std::string> takePin();

private:
    QLineEdit* pin_;
    QPushButton* ok_;
};

// Runs the dialog; the PIN, or nothing when the user cancelled.
std::optional<std::string> askForPin(QWidget* parent);

}  // namespace pelorin
