#include "app/document_commands.h"

#include "app/command_table.h"
#include "browser/file_commands.h"
#include "browser/open_file_dialog.h"
#include "dialogs/settings_dialog.h"
#include "document/document_file.h"
#include "platform/serial_devices.h"
#include "sms/phone_import.h"

namespace pelorin {

DocumentCommands::DocumentCommands(CPelorinDoc& document, CPelorinView& view, UserMessages& messages, FileSystem& files,
                                   SettingsStore& settingsStore, QWidget* dialogParent, SendLink link)
    : document_(document),
      view_(view),
      messages_(messages),
      files_(files),
      settings_(settingsStore),
      dialogParent_(dialogParent),
      link_(std::move(link)) {
    commands_.on(command::kFileNew, [this] { fileNew(); });
    commands_.on(command::kFileOpen, [this] { fileOpen(); });
    commands_.on(command::kFileSave, [this] { fileSave(); });
    commands_.on(command::kSettings, [this] { settings(); });
    commands_.on(command::kFileImportFromPhone, [this] { importFromPhone(); });
}

void DocumentCommands::fileNew() {
    // A selection lifted from the old picture must not be dragged over the new one.
    view_.editor().dropSelection();
    // The view's update then redraws the whole canvas window and the preview.
    clearCurrentCanvas(document_, view_);
}

void DocumentCommands::fileOpen() {
    DocumentContext context{document_, view_, messages_, files_};
    openFileCommand(dialogParent_, context, documentsFolder());
}

void DocumentCommands::fileSave() {
    DocumentContext context{document_, view_, messages_, files_};
    saveFileCommand(dialogParent_, context, documentsFolder());
}

// The port list offers COM1 to COM4 and the serial devices present now.
void DocumentCommands::settings() { runSettingsCommand(dialogParent_, document_, settings_, listSerialDevices()); }

void DocumentCommands::importFromPhone() { importFromPhoneCommand(dialogParent_, document_, view_, messages_, link_); }

}  // namespace pelorin
