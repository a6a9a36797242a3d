#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/network_choice.h"
#include "sms/network_asker.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;

namespace pelorin {

class CPelorinDoc;
class PostTarget;
class CancelToken;
class UserMessages;

// Asks for the number, the network (picked by name or typed as codes) and the
// delivery report before an operator logo is sent. The caller presets the
// four values, runs the dialog and reads them back after "Send"; the dialog
// itself stores nothing. Its lists follow the user's own typing and picking
// only: while the dialog puts values into its controls, their signals are
// blocked, and it listens to textEdited and activated, which the program's
// own changes never raise. "From phone" asks the phone for its network on a
// worker (at most kFromPhoneLimitMs) and fills the codes as typing them
// would; it stays disabled until an asker is given.
class OperatorLogoSendDialog final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kFromPhoneLimitMs = 3000;

    OperatorLogoSendDialog(QWidget* parent, const CPelorinDoc& doc, UserMessages& messages);
    ~OperatorLogoSendDialog() override;

    void setNetworkAsker(NetworkAsker asker);
    // "From phone": the button disabled and a busy cursor until the answer.
    void askPhoneForNetwork();
    bool askingPhone() const { return asking_ != nullptr; }

    // The dialog's values; moved to and from the controls by the two
    // transfers.
    std::string number;
    // After "Send": every number of the field (ParseNumberList), number
    // being them as the field shows them.
    std::vector<std::string> numbers;
    std::string countryCode;
    std::string operatorCode;
    std::int32_t deliveryReport = 0;

    void transferToControls();
    void transferFromControls();

    void fillOperatorList();
    void syncFromCountryCode();
    void syncFromOperatorCode();
    void onCountryPicked(int position);
    void onOperatorPicked(int position);

    // "Send": the numbers must be numbers (ParseNumberList; numbers are then
    // the ones sent), the codes 3 and 2 digits;
    // otherwise the reason is shown and the focus goes to the field at fault.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void openNetworkChoice();
    // One reaction: the controls' values in, a step of the network choice,
    // then the lists and the values back out.
    void react(const std::function<void()>& step);
    void showLists();
    void phoneAnswered(const NetworkQueryResult& result);

    NetworkChoice choice_;
    UserMessages& messages_;
    bool opened_ = false;

    QLineEdit* numberEdit_;
    QLineEdit* countryCodeEdit_;
    QLineEdit* operatorCodeEdit_;
    QCheckBox* reportBox_;
    QComboBox* countryList_;
    QComboBox* operatorList_;
    QPushButton* sendButton_;
    QPushButton* fromPhoneButton_;
    QTimer* fromPhoneLimit_;
    NetworkAsker asker_;
    std::shared_ptr<PostTarget> self_;
    std::shared_ptr<CancelToken> asking_;
};

}  // namespace pelorin
