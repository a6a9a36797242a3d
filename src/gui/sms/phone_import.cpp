#include "sms/phone_import.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QVBoxLayout>

#include "dialogs/dialog_text.h"
#include "document/document.h"
#include "document/user_messages.h"
#include "editor/pelorin_view.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "ringtone/smart_messaging.h"
#include "sms/phone_tasks.h"
#include "sms/post_target.h"
#include "util/text.h"

namespace pelorin {

namespace {

// The worker's one message: what it read, owned by the event.
const QEvent::Type kPhoneReadEvent = static_cast<QEvent::Type>(QEvent::User + 0x100);

class PhoneReadEvent final : public QEvent {
public:
    explicit PhoneReadEvent(PhoneLogos logos) : QEvent(kPhoneReadEvent), logos_(std::move(logos)) {}
    PhoneLogos& logos() { return logos_; }

private:
    PhoneLogos logos_;
};

void startPhoneReader(SendLink link, std::string portName, std::shared_ptr<PostTarget> dialog) {
    auto work = [link = std::move(link), portName = std::move(portName), dialog](const CancelToken& cancel) {
        // Reply-driven: the phone's listing is read as soon as it is complete.
        DialogueOptions options;
        options.replyDriven = true;
        options.cancel = &cancel;
        PhoneLogos logos = ReadPhoneLogos(portName, *link.opener, *link.sleeper, options);
        dialog->post(std::make_unique<PhoneReadEvent>(std::move(logos)));
    };
    if (!startPhoneTask(std::move(work))) {
        PhoneLogos none;
        none.detail = "No worker thread could be started";
        dialog->post(std::make_unique<PhoneReadEvent>(std::move(none)));
    }
}

// A logo at twice its size, set pixels black.
QPixmap thumbnail(const ReceivedItem& item) {
    if (item.width == 0 || item.height == 0) return {};  // a ringtone: no picture
    QImage image(static_cast<int>(item.width), static_cast<int>(item.height), QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (unsigned y = 0; y < item.height; ++y) {
        for (unsigned x = 0; x < item.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * item.width + x;
            if (i / 8 < item.bitmap.size() && (item.bitmap[i / 8] & (0x80u >> (i % 8))) != 0)
                image.setPixel(static_cast<int>(x), static_cast<int>(y), 1);
        }
    }
    return QPixmap::fromImage(image.scaled(image.size() * 2));
}

}  // namespace

PhoneReadingDialog::PhoneReadingDialog(QWidget* parent, SendLink link, std::string portName)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      link_(std::move(link)),
      portName_(std::move(portName)),
      self_(std::make_shared<PostTarget>(this)) {
    setWindowTitle(kPhoneReadingCaption);
    setModal(true);
    auto* status = new QLabel(kPhoneReadingStatus, this);
    status->setObjectName("status");
    status->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Waiting for acknowledgement")) + 16);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status);
    setSizeGripEnabled(false);
}

PhoneReadingDialog::~PhoneReadingDialog() { self_->detach(); }

void PhoneReadingDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    startPhoneReader(link_, portName_, self_);
}

bool PhoneReadingDialog::event(QEvent* event) {
    if (event->type() != kPhoneReadEvent) return QDialog::event(event);
    result_ = std::move(static_cast<PhoneReadEvent*>(event)->logos());
    self_->detach();
    done(1);
    return true;
}

// Only the end of the reading closes the dialog.
void PhoneReadingDialog::reject() {
    if (result_) QDialog::reject();
}

PhoneLogoChooser::PhoneLogoChooser(QWidget* parent, const std::vector<ReceivedItem>& logos) : QDialog(parent) {
    setWindowTitle(kPhoneChooserCaption);
    list_ = new QListWidget(this);
    list_->setObjectName("logos");
    list_->setViewMode(QListView::ListMode);
    list_->setIconSize(QSize(78 * 2, 28 * 2));
    for (const ReceivedItem& item : logos) {
        std::string text = escapedForDisplay(item.sender) + "\n" + item.timeStamp;
        if (item.kind == ReceivedKind::EmsPicture) text += "\n" + escapedForDisplay(item.reason);
        if (item.kind == ReceivedKind::Ringtone) {
            const ringtone::SmartMessagingReading tune = ringtone::decodeSmartMessaging(item.ringtone);
            text += "\nRingtone" + (tune.ringtone ? " \"" + escapedForDisplay(tune.ringtone->name) + "\", " +
                                                        std::to_string(tune.ringtone->notes.size()) + " notes"
                                                  : ": " + escapedForDisplay(tune.error));
        }
        list_->addItem(new QListWidgetItem(QIcon(thumbnail(item)), toQString(text)));
    }
    list_->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(420, 320);
}

int PhoneLogoChooser::chosen() const { return list_->currentRow(); }

void importFromPhoneCommand(QWidget* parent, CPelorinDoc& document, CPelorinView& view, UserMessages& messages,
                            const SendLink& link, const std::function<void(ringtone::Ringtone)>& openRingtone) {
    std::optional<PhoneLogos> read;
    {
        PhoneReadingDialog reading(parent, link, sendPortName(link, document.comPort));
        reading.exec();
        read = reading.result();
    }
    if (!read || !read->read) {
        messages.showMessage(std::string(kPhoneCannotBeRead) +
                             (read && !read->detail.empty() ? "\n" + read->detail : ""));
        return;
    }
    if (read->logos.empty()) {
        messages.showMessage(kPhoneHoldsNoLogo);
        return;
    }
    PhoneLogoChooser chooser(parent, read->logos);
    if (chooser.exec() != QDialog::Accepted) return;
    const int chosen = chooser.chosen();
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= read->logos.size()) return;
    const ReceivedItem& logo = read->logos[static_cast<std::size_t>(chosen)];
    if (logo.kind == ReceivedKind::Ringtone) {
        ringtone::SmartMessagingReading tune = ringtone::decodeSmartMessaging(logo.ringtone);
        if (!tune.ringtone)
            messages.showMessage(tune.error);
        else if (openRingtone)
            openRingtone(std::move(*tune.ringtone));
        return;
    }
    const auto canvas = receivedCanvas(logo);
    if (!canvas) return;
    if (logo.kind == ReceivedKind::PictureMessage || logo.kind == ReceivedKind::EmsPicture)
        document.nextPictureText = logo.text;
    // One undo step; the editor drops any selection and shows the logo's canvas.
    view.editor().replaceCanvas(*logo.canvas, *canvas, kPhoneChooserCaption);
}

int runningPhoneReaders() { return runningPhoneTasks(); }

void cancelPhoneReaders() { cancelPhoneTasks(); }

}  // namespace pelorin
