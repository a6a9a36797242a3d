#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "sms/encoding.h"
#include "sms/send_worker.h"

class QLabel;
class QPushButton;

namespace pelorin {

class PostTarget;
class CancelToken;

// The modal dialog of one send: it holds the job, starts the worker when it
// is first shown (reply-driven unless the document keeps the fixed waits),
// shows the worker's status line and captions, and closes when the worker
// reports the end. "Stop" (or Escape) asks the worker to stop at its next
// wait; the user cannot close the dialog before the end. The outcome goes to
// `outcome`, which shows it once this dialog has gone. When the phone asks for
// the SIM's PIN the worker asks this dialog, which shows a PinDialog; the
// document's SMS centre number, slow writes and log choice go to the worker.
// While a job goes to several numbers a second line says which.
class SendProgressDialog final : public QDialog {
    Q_OBJECT

public:
    SendProgressDialog(QWidget* parent, SendLink link, std::shared_ptr<PostTarget> outcome);
    ~SendProgressDialog() override;

    // Filled by the send command before the dialog runs; read by the worker
    // (which keeps its own share) from then on.
    SendJob& job() { return *job_; }
    // Likewise the numbers (empty: the job's own) and the route: the phone,
    // or an SMS centre with its password.
    std::vector<std::string>& numbers() { return numbers_; }
    SendRoute& route() { return route_; }

    // The worker has reported the end; the dialog is closing.
    bool ended() const { return ended_; }
    // The SMS centre would not take the login with the route's password.
    bool loginRefused() const { return loginRefused_; }

    // Escape: the same as "Stop".
    void reject() override;
    // Asks the worker to stop; the dialog closes when it reports the end.
    void stop();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::shared_ptr<SendJob> job_;
    std::vector<std::string> numbers_;
    SendRoute route_;
    SendLink link_;
    std::shared_ptr<PostTarget> self_;
    std::shared_ptr<PostTarget> outcome_;
    std::shared_ptr<CancelToken> stop_;
    QLabel* status_;
    QLabel* recipient_;  // "Sending to 2 of 3", shown for several numbers
    QPushButton* stopButton_;
    QDialog* pinDialog_ = nullptr;  // while the SIM's PIN is asked for
    bool started_ = false;
    bool ended_ = false;
    bool loginRefused_ = false;
};

// The caption the dialog opens with.
inline constexpr const char* kSendProgressCaption = "Sending SMS";

}  // namespace pelorin
