#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace pelorin {

class UserMessages;

// Asks for the number and the delivery report before a group graphic or the
// restore-operator-logo message is sent. "Send" takes the numbers as people
// type them (ParseNumberList) and refuses any that is not a number, an empty
// one included, with the focus back on it; numbers are then the ones sent.
class SimpleSendDialog final : public QDialog {
    Q_OBJECT

public:
    SimpleSendDialog(QWidget* parent, UserMessages& messages);

    std::string number;
    // After "Send": every number of the field (ParseNumberList), number
    // being them as the field shows them.
    std::vector<std::string> numbers;
    std::int32_t deliveryReport = 0;

    void transferToControls();
    void transferFromControls();
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    UserMessages& messages_;
    bool opened_ = false;
    QLineEdit* numberEdit_;
    QCheckBox* reportBox_;
    QPushButton* sendButton_;
};

}  // namespace pelorin
