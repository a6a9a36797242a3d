#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace pelorin {

// Asks for the number and the delivery report before a group graphic or the
// restore-operator-logo message is sent. Nothing is checked: an empty number
// is accepted.
class SimpleSendDialog final : public QDialog {
    Q_OBJECT

public:
    explicit SimpleSendDialog(QWidget* parent);

    std::string number;
    std::int32_t deliveryReport = 0;

    void transferToControls();
    void transferFromControls();
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool opened_ = false;
    QLineEdit* numberEdit_;
    QCheckBox* reportBox_;
    QPushButton* sendButton_;
};

}  // namespace pelorin
