#pragma once

#include <QWidget>

#include "app/command_router.h"
#include "document/document_context.h"
#include "editor/pelorin_view.h"
#include "pictures/picture_commands.h"
#include "settings/settings_store.h"

namespace pelorin {

// The document's commands: File New, Open and Save, and Tools Settings; the
// pictures and text coming in and going out (PictureCommands).
class DocumentCommands {
public:
    DocumentCommands(CPelorinDoc& document, CPelorinView& view, UserMessages& messages, FileSystem& files,
                     SettingsStore& settings, QWidget* dialogParent);

    const CommandHandlers& commands() const { return commands_; }

    // Clears the canvas shown, drops any selection and shows the result.
    void fileNew();
    void fileOpen();
    void fileSave();
    void settings();
    PictureCommands& pictures() { return pictures_; }

private:
    CPelorinDoc& document_;
    CPelorinView& view_;
    UserMessages& messages_;
    FileSystem& files_;
    SettingsStore& settings_;
    QWidget* dialogParent_;
    PictureCommands pictures_;
    CommandHandlers commands_;
};

}  // namespace pelorin
