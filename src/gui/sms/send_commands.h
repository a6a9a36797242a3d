#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "document/logo_kind.h"
#include "sms/send_outcome_receiver.h"
#include "sms/send_worker.h"
#include "sms/smsc_passwords.h"

class QWidget;

namespace pelorin {

class CPelorinDoc;
class SettingsStore;
class UserMessages;

// The five commands of the Send menu. Each opens its send dialog preset with
// the remembered values; "Send" stores the confirmed values (before the job
// starts, so they stay stored whatever the outcome) and runs the job to each
// of the dialog's numbers in a progress dialog, through the phone or, as
// Tools > Settings chose, an SMS centre (its password from SmscPasswords); "Cancel" stores and sends nothing. The
// outcome is shown by `messages` once the progress dialog has gone.
class SendCommands {
public:
    SendCommands(QWidget* parent, CPelorinDoc& doc, SettingsStore& store, UserMessages& messages, SendLink link);

    // Kind 1 for the operator-logo canvas, 5 for the large one; nothing for
    // the picture canvas.
    void sendOperatorLogo(LogoKind current);
    void sendGroupGraphic();
    void sendRestoreOperatorLogo();
    void sendPictureMessage();
    // The current canvas, whichever it is, as EMS pictures, with the
    // picture-message dialog's number, report and text.
    void sendEmsPicture(LogoKind current);
    // The Smart Messaging octets of a tune that fits, with the number
    // dialog of a group graphic.
    void sendRingtone(std::vector<std::uint8_t> octets);

private:
    // Asks for the numbers (and the text) in the kind's dialog, then sends.
    void sendSimple(SendJob job);
    void sendWithText(SendJob job, const QString& title);
    void run(SendJob job, std::vector<std::string> numbers);

    QWidget* parent_;
    CPelorinDoc& doc_;
    SettingsStore& store_;
    UserMessages& messages_;
    SendLink link_;
    SendOutcomeReceiver receiver_;
    SmscPasswords passwords_;
};

}  // namespace pelorin
