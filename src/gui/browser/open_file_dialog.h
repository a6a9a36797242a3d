#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "browser/preview_wnd.h"
#include "document/file_system.h"
#include "document/user_messages.h"

class QComboBox;
class QPushButton;

namespace pelorin {

// File, Open: lists the importable files of the documents folder, or of one
// of its direct subfolders, as thumbnails; a tap on one ends the dialog with
// OK and its path in selectedPath(). "Logo type" chooses the kind of file,
// "Folder" the folder; changing either lists again.
class OpenFileDialog : public QDialog, public PreviewOwner {
    Q_OBJECT
public:
    // documentsFolder: the folder listed first, as a path without a trailing
    // "/". Listing starts at once; a broken bitmap shows its message then.
    // startFolder: a direct subfolder of it to list first instead (the one
    // last chosen); any other is ignored.
    OpenFileDialog(FileSystem& files, UserMessages& messages, std::string documentsFolder, QWidget* parent = nullptr,
                   const std::string& startFolder = {});
    // The folder listed now.
    const std::string& listedFolder() const { return listedFolder_; }

    // Fills fileList() with the offered files of a folder, by the current
    // "Logo type", and shows them from the top. The first listing also fills
    // the folder list with its subfolders; later listings never change it.
    void listFolder(const std::string& folder);

    const std::vector<std::string>& fileList() const override { return fileList_; }
    void chooseFile(const std::string& path) override;
    const std::string& selectedPath() const { return selectedPath_; }

    QComboBox* typeCombo() const { return typeCombo_; }
    QComboBox* folderCombo() const { return folderCombo_; }
    CPreviewWnd* preview() const { return preview_; }
    QPushButton* cancelButton() const { return cancelButton_; }

private:
    void listChosenFolder();

    FileSystem& files_;
    UserMessages& messages_;
    std::string documentsFolder_;
    std::vector<std::string> fileList_;
    std::string selectedPath_;
    std::string listedFolder_;
    bool foldersListed_ = false;
    QComboBox* typeCombo_;
    QComboBox* folderCombo_;
    QPushButton* cancelButton_;
    CPreviewWnd* preview_;
};

// The user's documents folder, created when it does not exist yet.
std::string documentsFolder();

}  // namespace pelorin
