#include "app/document_commands.h"

#include <QFile>

#include "app/command_table.h"
#include "browser/file_commands.h"
#include "browser/open_file_dialog.h"
#include "dialogs/settings_dialog.h"
#include "document/document_file.h"
#include "document/import_file.h"
#include "document/user_messages.h"
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
      pictures_(document, view, messages, files, settingsStore, dialogParent, [this] { return pathOfShown(); }),
      link_(std::move(link)) {
    commands_.on(command::kFileNew, [this] { fileNew(); });
    commands_.on(command::kFileOpen, [this] { fileOpen(); });
    commands_.on(command::kFileSave, [this] { fileSave(); });
    commands_.on(command::kFileSaveAs, [this] { fileSaveAs(); });
    for (int i = 0; i < command::kRecentFileCount; ++i)
        commands_.on(command::kFileRecentFirst + i, [this, i] { openRecent(static_cast<std::size_t>(i)); });
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
    // A new drawing: Save asks for its name.
    pathOfShown().clear();
}

void DocumentCommands::fileOpen() {
    DocumentContext context{document_, view_, messages_, files_};
    std::string path;
    std::string folder;
    // A picture goes through the import dialog, which records its own step.
    const auto read = openFileCommand(
        dialogParent_, context, documentsFolder(),
        [this](const std::string& picture) { pictures_.importPictureFile(picture); }, readLastFolder(settings_, "Open"),
        &path, &folder);
    if (!folder.empty()) writeLastFolder(settings_, "Open", folder);
    if (!read) return;
    if (read->failed()) messages_.showMessage(read->error);
    view_.editor().applyImport(*read, "Open");
    if (read->outcome == ImportOutcome::Imported) opened(path);
}

void DocumentCommands::opened(const std::string& path) {
    view_.editor().markSaved(view_.currentKind());
    const auto extension = importExtension(path);
    const bool document =
        extension && *extension != "bmp" && *extension != "nlm" && *extension != "ngg" && *extension != "nol";
    // A bitmap or a phone logo is not overwritten by a Pelorin document.
    pathOfShown() = document ? path : std::string();
    rememberRecent(path);
}

void DocumentCommands::rememberRecent(const std::string& path) {
    writeRecentFiles(settings_, withRecentFile(readRecentFiles(settings_), path));
}

void DocumentCommands::openRecent(std::size_t index) {
    const std::vector<std::string> recent = readRecentFiles(settings_);
    if (index >= recent.size()) return;
    const std::string path = recent[index];
    if (!files_.openForReading(path)) {
        // Gone or unreadable: it leaves the list.
        writeRecentFiles(settings_, withoutRecentFile(recent, path));
        messages_.showMessage(message::withPath(message::kFailedToOpenForReading, path) +
                              "\nIt was taken off the list.");
        return;
    }
    const ImportResult read = readLogoFile(files_, path);
    if (read.failed()) messages_.showMessage(read.error);
    view_.editor().applyImport(read, "Open");
    if (read.outcome == ImportOutcome::Imported) opened(path);
}

void DocumentCommands::fileSave() {
    const std::string path = pathOfShown();
    if (path.empty()) {
        fileSaveAs();
        return;
    }
    DocumentContext context{document_, view_, messages_, files_};
    if (!saveDocumentFile(context, path)) return;
    view_.editor().markSaved(view_.currentKind());
    rememberRecent(path);
}

void DocumentCommands::fileSaveAs() {
    DocumentContext context{document_, view_, messages_, files_};
    std::string folder = readLastFolder(settings_, "Save");
    if (folder.empty()) folder = documentsFolder();
    const auto path = saveFileCommand(dialogParent_, context, folder, fileNameOf(pathOfShown()));
    if (!path) return;
    view_.editor().markSaved(view_.currentKind());
    pathOfShown() = *path;
    writeLastFolder(settings_, "Save", folderOf(*path));
    rememberRecent(*path);
}

std::string DocumentCommands::windowTitle() const {
    const LogoKind kind = view_.currentKind();
    const std::string& path = documentPath(kind);
    const QString name = QFile::decodeName(QByteArray::fromStdString(fileNameOf(path)));
    return documentWindowTitle(name.toStdString(), !path.empty() && view_.editor().differsFromSaved(kind),
                               command::kWindowTitle);
}

// The port list offers COM1 to COM4 and the serial devices present now.
void DocumentCommands::settings() {
    runSettingsCommand(dialogParent_, document_, settings_, listSerialDevices(), simulatedPort_, simulatedCentre_);
}

void DocumentCommands::importFromPhone() {
    importFromPhoneCommand(dialogParent_, document_, view_, messages_, link_, openRingtone_);
}

}  // namespace pelorin
