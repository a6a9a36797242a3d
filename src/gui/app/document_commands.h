#pragma once

#include <QWidget>
#include <string>

#include "app/command_router.h"
#include "document/document_context.h"
#include "editor/pelorin_view.h"
#include "pictures/picture_commands.h"
#include "settings/settings_store.h"
#include "sms/send_worker.h"

namespace pelorin {

// The document's commands: File New, Open, Save and Import from phone, and
// Tools Settings; the pictures and text coming in and going out
// (PictureCommands). link: how the phone is reached (as for the sends).
class DocumentCommands {
public:
    DocumentCommands(CPelorinDoc& document, CPelorinView& view, UserMessages& messages, FileSystem& files,
                     SettingsStore& settings, QWidget* dialogParent, SendLink link = makeSerialSendLink());

    const CommandHandlers& commands() const { return commands_; }

    // Clears the canvas shown, drops any selection and shows the result.
    void fileNew();
    void fileOpen();
    void fileSave();
    void settings();
    PictureCommands& pictures() { return pictures_; }

    // This run sends to the simulated phone on `port` (Settings says so).
    void setSimulatedPhonePort(std::string port) { simulatedPort_ = std::move(port); }
    void importFromPhone();

private:
    CPelorinDoc& document_;
    CPelorinView& view_;
    UserMessages& messages_;
    FileSystem& files_;
    SettingsStore& settings_;
    QWidget* dialogParent_;
    PictureCommands pictures_;
    SendLink link_;
    CommandHandlers commands_;
    std::string simulatedPort_;
};

}  // namespace pelorin
