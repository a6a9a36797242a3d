#include "sms/send_commands.h"

#include "dialogs/operator_logo_send_dialog.h"
#include "dialogs/picture_send_dialog.h"
#include "dialogs/simple_send_dialog.h"
#include "document/document.h"
#include "settings/line_settings.h"
#include "settings/remembered_values.h"
#include "sms/network_asker.h"
#include "sms/send_progress_dialog.h"

namespace pelorin {

SendCommands::SendCommands(QWidget* parent, CPelorinDoc& doc, SettingsStore& store, UserMessages& messages,
                           SendLink link)
    : parent_(parent), doc_(doc), store_(store), messages_(messages), link_(std::move(link)), receiver_(messages) {}

void SendCommands::sendOperatorLogo(LogoKind current) {
    if (current == LogoKind::Picture) return;
    OperatorLogoSendDialog dialog(parent_, doc_, messages_);
    dialog.number = doc_.lastNumber;
    dialog.countryCode = doc_.lastCountry;
    dialog.operatorCode = doc_.lastCode;
    dialog.deliveryReport = doc_.lastReport;
    dialog.setNetworkAsker(makeNetworkAsker(link_, doc_));
    if (dialog.exec() != QDialog::Accepted) return;

    rememberOperatorLogoSend(doc_, store_, dialog.number, dialog.countryCode, dialog.operatorCode,
                             dialog.deliveryReport);
    SendJob job;
    job.Kind = current == LogoKind::LargeOperator ? SendJobKind::LargeOperatorLogo : SendJobKind::OperatorLogo;
    job.Number = dialog.numbers.front();
    job.CountryCode = dialog.countryCode;
    job.OperatorCode = dialog.operatorCode;
    job.DeliveryReport = dialog.deliveryReport != 0;
    run(std::move(job), dialog.numbers);
}

void SendCommands::sendGroupGraphic() {
    SendJob job;
    job.Kind = SendJobKind::GroupGraphic;
    sendSimple(std::move(job));
}

void SendCommands::sendRestoreOperatorLogo() {
    SendJob job;
    job.Kind = SendJobKind::RestoreOperatorLogo;
    sendSimple(std::move(job));
}

void SendCommands::sendSimple(SendJob job) {
    SimpleSendDialog dialog(parent_, messages_);
    dialog.number = doc_.lastNumber;
    dialog.deliveryReport = doc_.lastReport;
    if (dialog.exec() != QDialog::Accepted) return;

    rememberSend(doc_, store_, dialog.number, dialog.deliveryReport);
    job.Number = dialog.numbers.front();
    job.DeliveryReport = dialog.deliveryReport != 0;
    run(std::move(job), dialog.numbers);
}

void SendCommands::sendWithText(SendJob job, const QString& title) {
    PictureSendDialog dialog(parent_, messages_);
    if (!title.isEmpty()) dialog.setWindowTitle(title);
    dialog.number = doc_.lastNumber;
    dialog.messageText = doc_.nextPictureText;
    dialog.deliveryReport = doc_.lastReport;
    if (dialog.exec() != QDialog::Accepted) return;
    doc_.nextPictureText.clear();

    rememberSend(doc_, store_, dialog.number, dialog.deliveryReport);
    job.Number = dialog.numbers.front();
    job.Text = dialog.messageText;
    job.DeliveryReport = dialog.deliveryReport != 0;
    run(std::move(job), dialog.numbers);
}

void SendCommands::sendPictureMessage() {
    SendJob job;
    job.Kind = SendJobKind::PictureMessage;
    sendWithText(std::move(job), QString());
}

void SendCommands::sendEmsPicture(LogoKind current) {
    SendJob job;
    job.Kind = SendJobKind::EmsPicture;
    job.EmsCanvas = current;
    sendWithText(std::move(job), QStringLiteral("EMS picture"));
}

void SendCommands::sendRingtone(std::vector<std::uint8_t> octets) {
    SendJob job;
    job.Kind = SendJobKind::Ringtone;
    job.RingtoneOctets = std::move(octets);
    sendSimple(std::move(job));
}

void SendCommands::run(SendJob job, std::vector<std::string> numbers) {
    job.Document = &doc_;
    SendRoute route;
    if (doc_.sendThrough == kSendThroughCentre) {
        // This run's simulated centre stands in for the stored one, as its
        // phone does for the COM port.
        route.centre = link_.centreOverride.empty() ? doc_.smscAddress : link_.centreOverride;
        if (!link_.centreOverride.empty()) {
            route.password = link_.centrePassword;
        } else if (auto password = passwords_.passwordFor(parent_, route.centre)) {
            route.password = std::move(*password);
        } else {
            return;  // no password given: nothing is sent
        }
    }
    receiver_.progressDialogOpened();
    {
        SendProgressDialog progress(parent_, link_, receiver_.target());
        progress.job() = std::move(job);
        progress.numbers() = std::move(numbers);
        const std::string centre = route.centre;
        progress.route() = std::move(route);
        progress.exec();
        // A password the centre refused is not kept: the next send asks again.
        if (progress.loginRefused() && link_.centreOverride.empty()) passwords_.forget(centre);
    }
    receiver_.progressDialogGone();
}

}  // namespace pelorin
