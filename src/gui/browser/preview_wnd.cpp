#include "browser/preview_wnd.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "browser/folder_listing.h"
#include "browser/preview_layout.h"
#include "browser/thumbnail.h"
#include "document/import_file.h"
#include "imageio/picture_io.h"

namespace pelorin {

CPreviewWnd::CPreviewWnd(FileSystem& files, QWidget* parent) : QAbstractScrollArea(parent), files_(files) {
    setObjectName("CPreviewWnd");
    setFrameShape(QFrame::StyledPanel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setSingleStep(preview::kRowHeight / 3);
    updateScrollRange();
}

void CPreviewWnd::setContentHeight(int height) {
    contentHeight_ = height;
    updateScrollRange();
}

int CPreviewWnd::scrollPosition() const { return verticalScrollBar()->value(); }

void CPreviewWnd::scrollToOrigin() { verticalScrollBar()->setValue(0); }

void CPreviewWnd::updateScrollRange() {
    const int page = viewport()->height();
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setRange(0, std::max(0, contentHeight_ - page));
}

void CPreviewWnd::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void CPreviewWnd::scrollContentsBy(int, int dy) {
    // The rows already on screen move; only the uncovered strip is painted.
    viewport()->scroll(0, dy);
}

void CPreviewWnd::paintEvent(QPaintEvent* event) {
    if (dialog_ == nullptr) return;
    const std::vector<std::string>& files = dialog_->fileList();
    const int scroll = scrollPosition();
    const QRect area = event->rect();
    const auto rows = preview::rowsMeeting(area.top(), area.bottom() + 1, scroll, static_cast<int>(files.size()));

    QPainter painter(viewport());
    QFont font("Tahoma");
    font.setPointSizeF(8.8);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::Text));
    for (int row = rows.first; row < rows.end; ++row) {
        const std::string& path = files[static_cast<std::size_t>(row)];
        if (const auto thumbnail = readThumbnail(files_, path)) {
            const QImage image(thumbnail->rgb.data(), thumbnail->width, thumbnail->height, thumbnail->width * 3,
                               QImage::Format_RGB888);
            const Point at = preview::thumbnailOrigin(row, scroll, thumbnail->width, thumbnail->height);
            painter.drawImage(QPoint(at.x, at.y), image);
        } else if (const auto picture = pictureThumbnail(path)) {
            const Point at = preview::thumbnailOrigin(row, scroll, picture->width(), picture->height());
            painter.drawImage(QPoint(at.x, at.y), *picture);
        }
        const Rect label = preview::labelRect(row, scroll);
        painter.drawText(QRect(label.left, label.top, label.width(), label.height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::fromStdString(fileNameOf(path)));
    }
}

std::optional<QImage> CPreviewWnd::pictureThumbnail(const std::string& path) {
    const auto extension = importExtension(path);
    if (!extension || !imageio::isPictureExtension(*extension)) return std::nullopt;
    const auto known = pictureThumbnails_.find(path);
    if (known != pictureThumbnails_.end()) return known->second;
    // As large as a logo thumbnail can be.
    auto thumbnail = imageio::readPictureThumbnail(files_, path, QSize(78, 28));
    pictureThumbnails_.emplace(path, thumbnail);
    return thumbnail;
}

void CPreviewWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || dialog_ == nullptr) return;
    const QPoint at = event->position().toPoint();
    const std::vector<std::string>& files = dialog_->fileList();
    const auto row = preview::rowAtTap({at.x(), at.y()}, scrollPosition(), static_cast<int>(files.size()));
    if (!row) return;
    // A copy: choosing ends the dialog, which may list again.
    const std::string path = files[static_cast<std::size_t>(*row)];
    dialog_->chooseFile(path);
}

void CPreviewWnd::mouseReleaseEvent(QMouseEvent* event) {
    // The press did all there is to do.
    event->accept();
}

}  // namespace pelorin
