#pragma once

#include <string>
#include <string_view>

#include "app/command_router.h"
#include "document/document_context.h"
#include "imaging/grey_image.h"

class QWidget;

namespace pelorin {

class CPelorinView;

// Pictures and text in and out of the editor: File "Import picture...",
// "Export picture...", Tools "Text...", and files dropped on the window.
class PictureCommands {
public:
    PictureCommands(CPelorinDoc& document, CPelorinView& view, UserMessages& messages, FileSystem& files,
                    QWidget* dialogParent);

    void registerIn(CommandHandlers& handlers);

    // Asks for a picture file, then runs the import dialog over it.
    void importPicture();
    // Reads the file (a failure shows one message and changes nothing), then
    // runs the import dialog; OK fills the chosen canvas and makes it current,
    // as one undo step.
    void importPictureFile(const std::string& path);
    void importGreyPicture(const GreyImage& picture);
    // Asks for the type, scale and look, then the file name, and writes the
    // current canvas.
    void exportPicture();
    // Runs the text dialog; OK places the text as a lifted selection at the
    // top-left of the visible part of the canvas: one undo step.
    void placeText();
    // Edit, "Copy picture": the selection, or the whole canvas when there is
    // none, on the clipboard as an image (black on white, 1:1) and as text
    // ('#' and '.' rows).
    void copyPicture();
    // Edit, "Paste picture": '#'/'.' text as it is, or an image through the
    // import dialog, placed as a lifted selection at the top-left of the
    // visible area: one undo step. Picture bytes are read as a file is (the
    // same limits and messages). A clipboard without either, or with a
    // picture that cannot be read, shows a message. Transparent: only the set
    // cells of the pasted block land.
    void pastePicture(bool transparent = false);
    // A file dropped on the window: a picture goes through the import dialog,
    // a logo file is imported as File, Open imports it.
    void openDroppedFile(const std::string& path);

private:
    void pasteGreyPicture(const GreyImage& picture, bool transparent);
    void replaceCanvas(LogoKind kind, const Canvas& content);
    // A block of cells as the lifted selection at the top-left of the visible
    // area, ready to drag: one undo step.
    void placeBlock(const Canvas& block, std::string_view label, bool transparent = false);

    CPelorinDoc& document_;
    CPelorinView& view_;
    UserMessages& messages_;
    FileSystem& files_;
    QWidget* dialogParent_;
};

}  // namespace pelorin
