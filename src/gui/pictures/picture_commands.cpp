#include "pictures/picture_commands.h"

#include <QFileDialog>

#include "app/command_table.h"
#include "document/import_file.h"
#include "editor/pelorin_view.h"
#include "imageio/picture_io.h"
#include "pictures/export_picture_dialog.h"
#include "pictures/import_picture_dialog.h"
#include "browser/open_file_dialog.h"
#include "pictures/text_dialog.h"

namespace pelorin {

PictureCommands::PictureCommands(CPelorinDoc& document, CPelorinView& view, UserMessages& messages,
                                 FileSystem& files, QWidget* dialogParent)
    : document_(document),
      view_(view),
      messages_(messages),
      files_(files),
      dialogParent_(dialogParent) {}

void PictureCommands::registerIn(CommandHandlers& handlers) {
    handlers.on(command::kImportPicture, [this] { importPicture(); });
    handlers.on(command::kExportPicture, [this] { exportPicture(); });
    handlers.on(command::kText, [this] { placeText(); });
}

void PictureCommands::importPicture() {
    const QString path = QFileDialog::getOpenFileName(
        dialogParent_, QObject::tr("Import picture"), QString::fromStdString(documentsFolder()),
        QObject::tr("Pictures (*.png *.jpg *.jpeg *.gif *.bmp *.ico *.pbm *.pgm *.ppm *.xpm *.svg *.svgz);;"
                    "All files (*)"));
    if (path.isEmpty()) return;
    importPictureFile(path.toStdString());
}

void PictureCommands::importPictureFile(const std::string& path) {
    const auto read = imageio::readPicture(files_, path);
    if (!read.picture) {
        messages_.showMessage(read.error);
        return;
    }
    importGreyPicture(*read.picture);
}

void PictureCommands::importGreyPicture(const GreyImage& picture) {
    ImportPictureDialog dialog(picture, view_.currentKind(), dialogParent_);
    if (dialog.exec() != QDialog::Accepted) return;
    replaceCanvas(dialog.kind(), dialog.result());
}

void PictureCommands::exportPicture() {
    ExportPictureDialog choice(dialogParent_);
    if (choice.exec() != QDialog::Accepted) return;
    const std::string format = choice.format();
    const QString filter = format == "png" ? QObject::tr("PNG picture (*.png)") : QObject::tr("BMP picture (*.bmp)");
    const QString chosen = QFileDialog::getSaveFileName(dialogParent_, QObject::tr("Export picture"),
                                                        QString::fromStdString(documentsFolder()), filter);
    if (chosen.isEmpty()) return;
    const std::string path = withPictureExtension(chosen.toStdString(), format);
    const auto bytes =
        imageio::encodePicture(document_.canvas(view_.currentKind()), format, choice.scale(), choice.look());
    if (!bytes || !saveFileSafely(files_, path, *bytes))
        messages_.showMessage(message::withPath(message::kFailedToOpenForWriting, path));
}

void PictureCommands::placeText() {
    TextDialog dialog(dialogParent_);
    if (dialog.exec() != QDialog::Accepted) return;
    placeBlock(dialog.result(), "Text");
}

void PictureCommands::openDroppedFile(const std::string& path) {
    if (imageio::opensAsPicture(files_, path)) {
        importPictureFile(path);
        return;
    }
    CanvasEditor& editor = view_.editor();
    editor.dropSelection();
    DocumentContext context{document_, view_, messages_, files_};
    editor.beginEdit("Open");
    const ImportOutcome outcome = importFile(context, path);
    editor.commitEdit();
    if (outcome == ImportOutcome::Imported) editor.markSaved(view_.currentKind());
}

void PictureCommands::replaceCanvas(LogoKind kind, const Canvas& content) {
    view_.editor().replaceCanvas(kind, content, "Import picture");
}

void PictureCommands::placeBlock(const Canvas& block, std::string_view label) {
    view_.editor().placeFloating(block, label);
}

}  // namespace pelorin
