#include "browser/open_file_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>

#include "app/qt_text.h"
#include "browser/folder_listing.h"
#include "browser/preview_layout.h"

namespace pelorin {

namespace {

// The preview's client area shows a label column ending at x 210 beside the
// scroll bar, and six rows.
constexpr int kPreviewWidth = 230;
constexpr int kPreviewHeight = 178;

}  // namespace

OpenFileDialog::OpenFileDialog(FileSystem& files, UserMessages& messages, std::string documentsFolder, QWidget* parent,
                               const std::string& startFolder)
    : QDialog(parent),
      files_(files),
      messages_(messages),
      documentsFolder_(std::move(documentsFolder)),
      typeCombo_(new QComboBox(this)),
      folderCombo_(new QComboBox(this)),
      cancelButton_(new QPushButton("Cancel", this)),
      preview_(new CPreviewWnd(files, this)) {
    setWindowTitle("Open file");
    setModal(true);

    for (std::string_view item : kFileFilterItems) typeCombo_->addItem(toQString(item));
    typeCombo_->setObjectName("typeCombo");
    folderCombo_->setObjectName("folderCombo");
    cancelButton_->setAutoDefault(false);
    preview_->setDialog(this);
    preview_->setMinimumSize(kPreviewWidth, kPreviewHeight);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(4);
    layout->addWidget(new QLabel("Logo type", this), 0, 0);
    layout->addWidget(new QLabel("Folder", this), 0, 1);
    layout->addWidget(typeCombo_, 1, 0);
    layout->addWidget(folderCombo_, 1, 1);
    layout->addWidget(cancelButton_, 2, 1, Qt::AlignRight);
    layout->addWidget(preview_, 3, 0, 1, 2);
    layout->setRowStretch(3, 1);

    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(typeCombo_, &QComboBox::activated, this, &OpenFileDialog::listChosenFolder);
    connect(folderCombo_, &QComboBox::activated, this, &OpenFileDialog::listChosenFolder);

    folderCombo_->addItem("My documents");
    folderCombo_->setCurrentIndex(0);
    typeCombo_->setCurrentIndex(0);
    listFolder(documentsFolder_);
    // The folder last chosen, when it is still one of the list.
    if (!startFolder.empty() && startFolder != documentsFolder_) {
        const int found = folderCombo_->findData(QByteArray::fromStdString(
            startFolder.substr(startFolder.rfind('/') == std::string::npos ? 0 : startFolder.rfind('/') + 1)));
        if (found > 0 &&
            startFolder == documentsFolder_ + "/" + folderCombo_->itemData(found).toByteArray().toStdString()) {
            folderCombo_->setCurrentIndex(found);
            listChosenFolder();
        }
    }
    // The keys move through the files at once; Tab reaches the lists.
    preview_->setFocus();
}

void OpenFileDialog::listFolder(const std::string& folder) {
    const FileFilter filter = fileFilterAt(typeCombo_->currentIndex());
    preview_->scrollToOrigin();
    preview_->clearHighlight();
    fileList_.clear();
    // The editor can bring pictures in too (through the import dialog).
    FolderListing listing = listFolderFiles(files_, messages_, folder, filter, true);
    listedFolder_ = folder;
    if (!foldersListed_)
        // Each item keeps the folder's name as the bytes the system gave; only
        // the text shown is decoded, so a name that is not UTF-8 still opens.
        for (const std::string& name : listing.folders)
            folderCombo_->addItem(QFile::decodeName(QByteArray::fromStdString(name)), QByteArray::fromStdString(name));
    foldersListed_ = true;
    fileList_ = std::move(listing.files);
    preview_->setContentHeight(preview::contentHeight(static_cast<int>(fileList_.size())));
    preview_->viewport()->repaint();
}

void OpenFileDialog::listChosenFolder() {
    const int n = folderCombo_->currentIndex();
    if (n <= 0) {
        listFolder(documentsFolder_);
        preview_->setFocus();
        return;
    }
    listFolder(documentsFolder_ + "/" + folderCombo_->itemData(n).toByteArray().toStdString());
    // The files are what a chosen folder is for.
    preview_->setFocus();
}

void OpenFileDialog::chooseFile(const std::string& path) {
    selectedPath_ = path;
    accept();
}

std::string documentsFolder() {
    QString path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (path.isEmpty()) path = QDir::homePath() + "/Documents";
    QDir().mkpath(path);
    return QFile::encodeName(QDir::cleanPath(path)).toStdString();
}

}  // namespace pelorin
