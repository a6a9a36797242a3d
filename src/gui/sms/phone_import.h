#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

#include "ringtone/ringtone.h"
#include "sms/inbox_reader.h"
#include "sms/send_worker.h"

class QLabel;
class QListWidget;

namespace pelorin {

class CPelorinDoc;
class CPelorinView;
class PostTarget;
class UserMessages;

// While the phone's messages are read: a modal dialog with the look of the
// send progress dialog, which starts one detached worker when it is first
// shown and closes when the worker posts what it read. The user cannot
// close it.
class PhoneReadingDialog final : public QDialog {
    Q_OBJECT

public:
    PhoneReadingDialog(QWidget* parent, SendLink link, std::string portName);
    ~PhoneReadingDialog() override;

    // What the worker read; set once the dialog has closed.
    const std::optional<PhoneLogos>& result() const { return result_; }
    void reject() override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    SendLink link_;
    std::string portName_;
    std::shared_ptr<PostTarget> self_;
    std::optional<PhoneLogos> result_;
    bool started_ = false;
};

// The logos read, as thumbnails with sender and time; "Open" takes the one
// chosen (a double click too).
class PhoneLogoChooser final : public QDialog {
    Q_OBJECT

public:
    PhoneLogoChooser(QWidget* parent, const std::vector<ReceivedItem>& logos);
    // The index of the logo chosen, once accepted.
    int chosen() const;
    QListWidget* list() const { return list_; }

private:
    QListWidget* list_;
};

// File, "Import from phone...": reads the phone on the port of the link (the
// simulated phone's) or of the document's COM port setting, lets the user
// choose one of its logos and opens it into its canvas as one undo step
// ("Import from phone"), or one of its ringtones, which openRingtone shows.
// A phone that cannot be read, or holds no logo, gives one message.
void importFromPhoneCommand(QWidget* parent, CPelorinDoc& document, CPelorinView& view, UserMessages& messages,
                            const SendLink& link,
                            const std::function<void(ringtone::Ringtone)>& openRingtone = nullptr);

// The readers are phone tasks (phone_tasks.h): these two are
// runningPhoneTasks and cancelPhoneTasks.
int runningPhoneReaders();
void cancelPhoneReaders();

inline constexpr const char* kPhoneReadingCaption = "Reading phone";
inline constexpr const char* kPhoneReadingStatus = "Reading messages";
inline constexpr const char* kPhoneChooserCaption = "Import from phone";
// The messages, the reason following the first on a line of its own.
inline constexpr const char* kPhoneCannotBeRead = "Cannot read the phone";
inline constexpr const char* kPhoneHoldsNoLogo = "The phone holds no logo";

}  // namespace pelorin
