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
      pictures_(document, view, messages, files, dialogParent),
      link_(std::move(link)) {
    commands_.on(command::kFileNew, [this] { fileNew(); });
    commands_.on(command::kFileOpen, [this] { fileOpen(); });
    commands_.on(command::kFileSave, [this] { fileSave(); });
    commands_.on(command::kSettings, [this] { settings(); });
    pictures_.registerIn(commands_);
    commands_.on(command::kFileImportFromPhone, [this] { importFromPhone(); });
}

void DocumentCommands::fileNew() {
    CanvasEditor& editor = view_.editor();
    editor.beginEdit("New");
    // A selection lifted from the old picture must not be dragged over the new one.
    editor.dropSelection();
    // The view's update then redraws the whole canvas window and the preview.
    clearCurrentCanvas(document_, view_);
    editor.commitEdit();
}

void DocumentCommands::fileOpen() {
    DocumentContext context{document_, view_, messages_, files_};
    // A picture goes through the import dialog, which records its own step.
    const auto read = openFileCommand(dialogParent_, context, documentsFolder(),
                                      [this](const std::string& path) { pictures_.importPictureFile(path); });
    if (!read) return;
    if (read->failed()) messages_.showMessage(read->error);
    view_.editor().applyImport(*read, "Open");
}

void DocumentCommands::fileSave() {
    DocumentContext context{document_, view_, messages_, files_};
    if (saveFileCommand(dialogParent_, context, documentsFolder())) view_.editor().markSaved(view_.currentKind());
}

// The port list offers COM1 to COM4 and the serial devices present now.
void DocumentCommands::settings() {
    runSettingsCommand(dialogParent_, document_, settings_, listSerialDevices(), simulatedPort_);
}

void DocumentCommands::importFromPhone() { importFromPhoneCommand(dialogParent_, document_, view_, messages_, link_); }

}  // namespace pelorin
