#include "browser/file_commands.h"

#include <QFileDialog>

#include "browser/open_file_dialog.h"
#include "document/document_file.h"
#include "document/import_file.h"

namespace pelorin {

std::optional<ImportOutcome> openFileCommand(QWidget* parent, DocumentContext& context,
                                             const std::string& documentsFolder) {
    std::string path;
    {
        OpenFileDialog dialog(context.files, context.messages, documentsFolder, parent);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        path = dialog.selectedPath();
    }
    if (path.empty()) return std::nullopt;
    const ImportOutcome outcome = importFile(context, path);
    context.view.updateAllViews();
    return outcome;
}

bool saveFileCommand(QWidget* parent, DocumentContext& context, const std::string& startFolder) {
    const QString path =
        QFileDialog::getSaveFileName(parent, QString(), QString::fromStdString(startFolder), "Pelorin(*.plr)");
    if (path.isEmpty()) return false;
    return saveDocumentFile(context, path.toStdString());
}

}  // namespace pelorin
