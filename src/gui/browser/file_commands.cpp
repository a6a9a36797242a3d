#include "browser/file_commands.h"

#include <QFileDialog>

#include "browser/open_file_dialog.h"
#include "document/document_file.h"
#include "document/import_file.h"
#include "imageio/picture_io.h"

namespace pelorin {

void openFileCommand(QWidget* parent, DocumentContext& context, const std::string& documentsFolder,
                     const std::function<void(const std::string&)>& openPicture) {
    std::string path;
    {
        OpenFileDialog dialog(context.files, context.messages, documentsFolder, parent);
        if (dialog.exec() != QDialog::Accepted) return;
        path = dialog.selectedPath();
    }
    if (path.empty()) return;
    if (openPicture && imageio::opensAsPicture(context.files, path)) {
        openPicture(path);
        return;
    }
    importFile(context, path);
    context.view.updateAllViews();
}

void saveFileCommand(QWidget* parent, DocumentContext& context, const std::string& startFolder) {
    const QString path =
        QFileDialog::getSaveFileName(parent, QString(), QString::fromStdString(startFolder), "Pelorin(*.plr)");
    if (path.isEmpty()) return;
    saveDocumentFile(context, path.toStdString());
}

}  // namespace pelorin
