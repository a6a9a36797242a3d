#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace pelorin {

class UserMessages;

// Asks for the number, the text and the delivery report before a picture
// message is sent. The text starts as the command presets it (empty, or the
// text of a picture message read from the phone); "Send" refuses more than
// 100 characters. Enter in the text does not break the line: it acts on the
// default button, as anywhere else in the dialog.
class PictureSendDialog final : public QDialog {
    Q_OBJECT

public:
    PictureSendDialog(QWidget* parent, UserMessages& messages);

    std::string number;
    // After "Send": every number of the field (ParseNumberList), number
    // being them as the field shows them.
    std::vector<std::string> numbers;
    std::string messageText;
    std::int32_t deliveryReport = 0;

    void transferToControls();
    void transferFromControls();
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Keeps the text to a picture message's hundred characters and shows the count.
    void limitText();
    UserMessages& messages_;
    bool opened_ = false;
    QLineEdit* numberEdit_;
    QPlainTextEdit* textEdit_;
    QLabel* countLabel_ = nullptr;
    QCheckBox* reportBox_;
    QPushButton* sendButton_;
};

// What "Send" shows when the text is longer than a picture message carries.
inline constexpr const char* kPictureTextTooLongMessage = "Max: 100 chars";

}  // namespace pelorin
