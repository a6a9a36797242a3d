#include "browser/file_commands.h"

#include <QFileDialog>

#include "browser/open_file_dialog.h"
#include "document/document_file.h"
#include "document/import_file.h"
#include "imageio/picture_io.h"

namespace pelorin {

std::optional<ImportResult> openFileCommand(QWidget* parent, DocumentContext& context,
                                            const std::string& documentsFolder,
                                            const std::function<void(const std::string&)>& openPicture,
                                            const std::string& startFolder, std::string* openedPath,
                                            std::string* chosenFolder) {
    std::string path;
    {
        OpenFileDialog dialog(context.files, context.messages, documentsFolder, parent, startFolder);
        const int result = dialog.exec();
        if (chosenFolder) *chosenFolder = dialog.listedFolder();
        if (result != QDialog::Accepted) return std::nullopt;
        path = dialog.selectedPath();
    }
    if (path.empty()) return std::nullopt;
    if (openedPath) *openedPath = path;
    if (openPicture && imageio::opensAsPicture(context.files, path)) {
        openPicture(path);
        return std::nullopt;
    }
    return readLogoFile(context.files, path);
}

std::optional<std::string> saveFileCommand(QWidget* parent, DocumentContext& context, const std::string& startFolder,
                                           const std::string& proposedName) {
    QFileDialog dialog(parent, QString(), QFile::decodeName(QByteArray::fromStdString(startFolder)), "Pelorin(*.plr)");
    if (!proposedName.empty()) dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(proposedName)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without an extension gets ".plr", so that File > Open,
    // the start-up import and pelorin-cli recognise the file; the dialog adds
    // it before it asks about replacing, so the question names the file that
    // is written. A name with an extension is kept as typed.
    dialog.setDefaultSuffix("plr");
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
    std::string path = QFile::encodeName(chosen.front()).toStdString();
    if (!saveDocumentFile(context, path)) return std::nullopt;
    return path;
}

}  // namespace pelorin
