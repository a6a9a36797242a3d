#include "ringtone/ringtone_commands.h"

#include "app/command_table.h"
#include "ringtone/ringtone_window.h"
#include "sms/send_commands.h"

namespace pelorin {

RingtoneCommands::RingtoneCommands(QWidget* parent, SendCommands& send, UserMessages& messages, FileSystem& files)
    : parent_(parent), send_(send), messages_(messages), files_(files) {}

RingtoneCommands::~RingtoneCommands() = default;

RingtoneWindow& RingtoneCommands::window() {
    if (window_ == nullptr) {
        window_ = new RingtoneWindow(parent_, messages_, files_);
        window_->setSendHandler([this](std::vector<std::uint8_t> octets) { send_.sendRingtone(std::move(octets)); });
    }
    return *window_;
}

void RingtoneCommands::open(ringtone::Ringtone tone) {
    RingtoneWindow& shown = window();
    shown.showRingtone(std::move(tone));
    shown.show();
    shown.raise();
    shown.activateWindow();
}

void RingtoneCommands::registerIn(CommandHandlers& handlers) {
    handlers.on(command::kRingtone, [this] {
        RingtoneWindow& shown = window();
        shown.show();
        shown.raise();
        shown.activateWindow();
    });
    handlers.on(command::kSendRingtone, [this] { window().send(); });
}

}  // namespace pelorin
