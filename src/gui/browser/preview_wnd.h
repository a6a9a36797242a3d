#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "browser/picture_thumbnails.h"
#include "document/file_system.h"

namespace pelorin {

// What the preview needs from the dialog that holds it: the files to show and
// a way to hand back the one the user taps.
class PreviewOwner {
public:
    virtual ~PreviewOwner() = default;
    virtual const std::vector<std::string>& fileList() const = 0;
    // Takes the chosen path and ends the dialog with OK.
    virtual void chooseFile(const std::string& path) = 0;
};

// The scrolling list of the open-file dialog: one 30-pixel row a file, its
// thumbnail at 1:1 on the left and its name on the right. Every row that is
// painted reads its file again, so a thumbnail always shows what the file
// holds now; only the rows that meet the repainted area are drawn. A tap
// anywhere on a row chooses its file; from the keyboard, the arrow keys (and
// Home, End, Page Up, Page Down) move a highlight and Enter chooses.
class CPreviewWnd : public QAbstractScrollArea {
    Q_OBJECT
public:
    CPreviewWnd(FileSystem& files, QWidget* parent = nullptr);

    // Set right after creation; the preview shows nothing without it.
    void setDialog(PreviewOwner* dialog) { dialog_ = dialog; }
    PreviewOwner* dialog() const { return dialog_; }
    // The pictures' thumbnails, read on their own thread.
    PictureThumbnails& pictureThumbnails() const { return *pictureThumbnails_; }

    // The height of the content in pixels; the width never scrolls.
    void setContentHeight(int height);
    int contentHeight() const { return contentHeight_; }
    int scrollPosition() const;
    void scrollToOrigin();

    // The highlighted row, -1 for none; a new listing starts without one.
    int highlightedRow() const { return highlight_; }
    void clearHighlight();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateScrollRange();
    void moveHighlight(int step);
    void updateRow(int row);

    // A picture's thumbnail: logo files are read anew at each paint (they are
    // tiny), pictures once per path and on a worker, as decoding a photo
    // takes a while; its row is painted again when the thumbnail arrives.
    std::optional<QImage> pictureThumbnail(const std::string& path);

    FileSystem& files_;
    PreviewOwner* dialog_ = nullptr;
    PictureThumbnails* pictureThumbnails_;
    int contentHeight_ = 400;
    int highlight_ = -1;
};

}  // namespace pelorin
