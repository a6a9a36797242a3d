#include "browser/file_commands.h"

#include <QFileDialog>

#include "browser/open_file_dialog.h"
#include "document/document_file.h"
#include "document/import_file.h"
#include "imageio/picture_io.h"

namespace pelorin {

std::optional<ImportResult> openFileCommand(QWidget* parent, DocumentContext& context,
                                            const std::string& documentsFolder,
                                            const std::function<void(const std::string&)>& openPicture) {
    std::string path;
    {
        OpenFileDialog dialog(context.files, context.messages, documentsFolder, parent);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        path = dialog.selectedPath();
    }
    if (path.empty()) return std::nullopt;
    if (openPicture && imageio::opensAsPicture(context.files, path)) {
        openPicture(path);
        return std::nullopt;
    }
    return readLogoFile(context.files, path);
}

bool saveFileCommand(QWidget* parent, DocumentContext& context, const std::string& startFolder) {
    QFileDialog dialog(parent, QString(), QFile::decodeName(QByteArray::fromStdString(startFolder)), "Pelorin(*.plr)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without an extension gets ".plr", so that File > Open,
    // the start-up import and pelorin-cli recognise the file; the dialog adds
    // it before it asks about replacing, so the question names the file that
    // is written. A name with an extension is kept as typed.
    dialog.setDefaultSuffix("plr");
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return false;
    return saveDocumentFile(context, QFile::encodeName(chosen.front()).toStdString());
}

}  // namespace pelorin
