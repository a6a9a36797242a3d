#pragma once

#include <QWidget>

#include "app/command_router.h"
#include "document/document_context.h"
#include "editor/pelorin_view.h"
#include "settings/settings_store.h"
#include "sms/send_worker.h"

namespace pelorin {

// The document's commands: File New, Open, Save and Import from phone, and
// Tools Settings. link: how the phone is reached (as for the sends).
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
    void importFromPhone();

private:
    CPelorinDoc& document_;
    CPelorinView& view_;
    UserMessages& messages_;
    FileSystem& files_;
    SettingsStore& settings_;
    QWidget* dialogParent_;
    SendLink link_;
    CommandHandlers commands_;
};

}  // namespace pelorin
