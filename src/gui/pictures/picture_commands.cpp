#include "pictures/picture_commands.h"

#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>

#include "app/command_table.h"
#include "browser/open_file_dialog.h"
#include "document/import_file.h"
#include "editor/pelorin_view.h"
#include "imageio/picture_io.h"
#include "imaging/cell_text.h"
#include "pictures/export_picture_dialog.h"
#include "pictures/import_picture_dialog.h"
#include "pictures/text_dialog.h"

namespace pelorin {

PictureCommands::PictureCommands(CPelorinDoc& document, CPelorinView& view, UserMessages& messages, FileSystem& files,
                                 QWidget* dialogParent)
    : document_(document), view_(view), messages_(messages), files_(files), dialogParent_(dialogParent) {}

void PictureCommands::registerIn(CommandHandlers& handlers) {
    handlers.on(command::kImportPicture, [this] { importPicture(); });
    handlers.on(command::kExportPicture, [this] { exportPicture(); });
    handlers.on(command::kText, [this] { placeText(); });
    handlers.on(command::kCopyPicture, [this] { copyPicture(); });
    handlers.on(command::kPastePicture, [this] { pastePicture(false); });
    handlers.on(command::kPasteTransparent, [this] { pastePicture(true); });
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
    const Canvas& canvas = document_.canvas(view_.currentKind());
    const auto bytes = choice.oneBit() ? imageio::encodeMonochromeBitmap(canvas, choice.scale())
                                       : imageio::encodePicture(canvas, format, choice.scale(), choice.look());
    if (!bytes) {
        messages_.showMessage(message::withPath(message::kFailedToOpenForWriting, path));
        return;
    }
    const SaveResult saved = saveFile(files_, path, *bytes);
    if (saved.status != SaveStatus::Saved) messages_.showMessage(describeSaveFailure(saved, path));
}

void PictureCommands::placeText() {
    TextDialog dialog(dialogParent_);
    if (dialog.exec() != QDialog::Accepted) return;
    placeBlock(dialog.result(), "Text", dialog.transparent());
}

void PictureCommands::copyPicture() {
    const Canvas& canvas = document_.canvas(view_.currentKind());
    Rect area = view_.editor().selection();
    area = {std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, canvas.width()),
            std::min(area.bottom, canvas.height())};
    if (area.isEmpty()) area = {0, 0, canvas.width(), canvas.height()};
    Canvas cells(area.width(), area.height());
    for (int x = 0; x < cells.width(); ++x)
        for (int y = 0; y < cells.height(); ++y) cells.set(x, y, canvas.isSet(area.left + x, area.top + y));
    auto* data = new QMimeData;
    data->setImageData(imageio::canvasImage(cells, 1, imageio::Look::Plain));
    data->setText(QString::fromStdString(cellText(cells)));
    QGuiApplication::clipboard()->setMimeData(data);
}

void PictureCommands::pastePicture(bool transparent) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data && data->hasText()) {
        if (const auto cells = parseCellText(data->text().toStdString(), {78, 28})) {
            placeBlock(*cells, "Paste picture", transparent);
            return;
        }
    }
    // A picture as another program put it there (PNG bytes, say) is read as
    // a file is, with the same limits and messages: Qt's own decoding of the
    // clipboard stops at 128 MB and gives an empty picture without a word.
    const QStringList formats = data ? data->formats() : QStringList();
    for (const QString& format : formats) {
        if (!format.startsWith(QLatin1String("image/"))) continue;
        const QByteArray bytes = data->data(format);
        if (bytes.isEmpty()) continue;
        const auto read = imageio::readPictureData(
            {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())},
            "The clipboard's picture");
        if (!read.picture) {
            messages_.showMessage(read.error);
            return;
        }
        pasteGreyPicture(*read.picture, transparent);
        return;
    }
    if (data && data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (image.isNull()) {
            messages_.showMessage("The picture on the clipboard cannot be read.");
            return;
        }
        pasteGreyPicture(imageio::greyFromImage(image), transparent);
        return;
    }
    messages_.showMessage("The clipboard holds no picture.");
}

void PictureCommands::pasteGreyPicture(const GreyImage& picture, bool transparent) {
    ImportPictureDialog dialog(picture, view_.currentKind(), dialogParent_);
    // The paste lands on the canvas shown.
    dialog.kindList()->setEnabled(false);
    if (dialog.exec() == QDialog::Accepted) placeBlock(dialog.result(), "Paste picture", transparent);
}

void PictureCommands::openDroppedFile(const std::string& path) {
    if (imageio::opensAsPicture(files_, path)) {
        importPictureFile(path);
        return;
    }
    const ImportResult read = readLogoFile(files_, path);
    if (read.failed()) messages_.showMessage(read.error);
    view_.editor().applyImport(read, "Open");
}

void PictureCommands::replaceCanvas(LogoKind kind, const Canvas& content) {
    view_.editor().replaceCanvas(kind, content, "Import picture");
}

void PictureCommands::placeBlock(const Canvas& block, std::string_view label, bool transparent) {
    view_.editor().placeFloating(block, label, transparent);
    // The block placed is lifted: the selection tool drags it at once.
    view_.toolPalette().setCurrentTool(Tool::Selection);
}

}  // namespace pelorin
