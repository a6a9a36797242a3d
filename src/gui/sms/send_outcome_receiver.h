#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

namespace pelorin {

class PostTarget;
class UserMessages;

// Receives the outcome of each send (WM_SEND_STATUS with its text) and shows
// it in a message box. An outcome that arrives while a progress dialog still
// runs waits until the send command reports that the dialog has gone, so the
// box never comes up over it.
class SendOutcomeReceiver final : public QObject {
    Q_OBJECT

public:
    explicit SendOutcomeReceiver(UserMessages& messages);
    ~SendOutcomeReceiver() override;

    // Where the worker posts the outcome.
    std::shared_ptr<PostTarget> target() const { return target_; }

    void progressDialogOpened();
    void progressDialogGone();

protected:
    void customEvent(QEvent* event) override;

private:
    void showWaiting();

    UserMessages& messages_;
    std::shared_ptr<PostTarget> target_;
    int openDialogs_ = 0;
    std::vector<std::string> waiting_;
};

}  // namespace pelorin
