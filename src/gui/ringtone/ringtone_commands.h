#pragma once

#include <memory>

#include "app/command_router.h"
#include "document/file_system.h"
#include "document/user_messages.h"
#include "ringtone/ringtone.h"

class QWidget;

namespace pelorin {

class RingtoneWindow;
class SendCommands;

// Tools, "Ringtone..." shows the Ringtone window (made on first use, kept
// with its tune for the session); Send, "Ringtone" sends its tune with the
// number dialog of a group graphic.
class RingtoneCommands {
public:
    RingtoneCommands(QWidget* parent, SendCommands& send, UserMessages& messages, FileSystem& files);
    ~RingtoneCommands();

    void registerIn(CommandHandlers& handlers);
    RingtoneWindow& window();
    // The window shown with a tune (Import from phone).
    void open(ringtone::Ringtone tone);

private:
    QWidget* parent_;
    SendCommands& send_;
    UserMessages& messages_;
    FileSystem& files_;
    RingtoneWindow* window_ = nullptr;  // owned by parent_
};

}  // namespace pelorin
