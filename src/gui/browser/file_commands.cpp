#include "browser/file_commands.h"

#include <QFileDialog>

#include "browser/open_file_dialog.h"
#include "document/document_file.h"
#include "document/import_file.h"

namespace pelorin {

void openFileCommand(QWidget* parent, DocumentContext& context, const std::string& documentsFolder) {
    std::string path;
    {
        OpenFileDialog dialog(context.files, context.messages, documentsFolder, parent);
        if (dialog.exec() != QDialog::Accepted) return;
        path = dialog.selectedPath();
    }
    if (path.empty()) return;
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
