#include "sms/send_progress_dialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_text.h"
#include "dialogs/pin_dialog.h"
#include "document/document.h"
#include "platform/cancel_token.h"
#include "sms/line_log.h"
#include "sms/pin_request.h"
#include "sms/post_target.h"
#include "sms/send_events.h"

namespace pelorin {

SendProgressDialog::SendProgressDialog(QWidget* parent, SendLink link, std::shared_ptr<PostTarget> outcome)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      job_(std::make_shared<SendJob>()),
      link_(std::move(link)),
      self_(std::make_shared<PostTarget>(this)),
      outcome_(std::move(outcome)),
      stop_(std::make_shared<CancelToken>()) {
    setWindowTitle(kSendProgressCaption);
    setModal(true);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Waiting for acknowledgement")) + 16);
    recipient_ = new QLabel(this);
    recipient_->setObjectName("recipient");
    recipient_->setVisible(false);
    stopButton_ = new QPushButton(tr("Stop"), this);
    stopButton_->setObjectName("stop");
    stopButton_->setAutoDefault(false);
    connect(stopButton_, &QPushButton::clicked, this, &SendProgressDialog::stop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(recipient_);
    layout->addWidget(status_);
    layout->addWidget(stopButton_, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setSizeGripEnabled(false);
}

SendProgressDialog::~SendProgressDialog() { self_->detach(); }

void SendProgressDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    const std::string port = sendPortName(link_, job_->Document ? job_->Document->comPort : std::string());
    const bool replyDriven = job_->Document == nullptr || job_->Document->fixedWaits == 0;
    SendLineOptions line;
    line.pin = std::make_shared<DialogPinSource>(self_, stop_);
    if (const CPelorinDoc* doc = job_->Document) {
        line.slowWrites = doc->slowWrites != 0;
        line.smsCentre = doc->smsCentre;
        if (doc->lineLog != 0) line.logFolder = defaultLineLogFolder();
    }
    line.numbers = numbers_;
    line.route = route_;
    startSendWorker(job_, port, link_, self_, outcome_, stop_, replyDriven, std::move(line));
}

bool SendProgressDialog::event(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == WM_SEND_PIN) {
        // The worker waits for this answer (or for the job to be stopped).
        PinDialog dialog(this);
        pinDialog_ = &dialog;
        dialog.exec();
        pinDialog_ = nullptr;
        static_cast<PinRequestEvent*>(event)->answer(dialog.takePin());
        return true;
    }
    if (type == WM_SEND_END && pinDialog_ != nullptr) pinDialog_->reject();
    if (type != WM_SEND_STATUS && type != WM_SEND_CAPTION && type != WM_SEND_END && type != WM_SEND_RECIPIENT)
        return QDialog::event(event);
    const auto& text = static_cast<SendEvent*>(event)->text();
    if (type == WM_SEND_END) {
        ended_ = true;
        loginRefused_ = text && *text == kLoginRefusedEnd;
        self_->detach();
        done(1);
    } else if (text && type == WM_SEND_STATUS) {
        status_->setText(toQString(*text));
    } else if (text && type == WM_SEND_RECIPIENT) {
        recipient_->setText(toQString(*text));
        recipient_->setVisible(true);
    } else if (text && type == WM_SEND_CAPTION) {
        setWindowTitle(toQString(*text));
    }
    return true;
}

void SendProgressDialog::stop() {
    if (ended_) return;
    stop_->cancel();
    stopButton_->setEnabled(false);
}

// Only the end of the job closes the dialog, not the window's close button;
// Escape stops the job, which then ends.
void SendProgressDialog::reject() {
    if (ended_) {
        QDialog::reject();
        return;
    }
    stop();
}

void SendProgressDialog::closeEvent(QCloseEvent* event) {
    if (!ended_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace pelorin
