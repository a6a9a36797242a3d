#include "browser/preview_wnd.h"

#include <QFile>
#include <QImage>
#include <QKeyEvent>
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

CPreviewWnd::CPreviewWnd(FileSystem& files, QWidget* parent)
    : QAbstractScrollArea(parent),
      files_(files),
      // As large as a logo thumbnail can be.
      pictureThumbnails_(new PictureThumbnails(files, QSize(78, 28), this)) {
    connect(pictureThumbnails_, &PictureThumbnails::arrived, viewport(), [this] { viewport()->update(); });
    setObjectName("CPreviewWnd");
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::StrongFocus);
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

void CPreviewWnd::clearHighlight() {
    const int old = highlight_;
    highlight_ = -1;
    updateRow(old);
}

void CPreviewWnd::updateRow(int row) {
    if (row < 0) return;
    viewport()->update(0, preview::rowTop(row, scrollPosition()), viewport()->width(), preview::kRowHeight);
}

void CPreviewWnd::moveHighlight(int step) {
    if (dialog_ == nullptr) return;
    const int old = highlight_;
    highlight_ = preview::movedHighlight(highlight_, step, static_cast<int>(dialog_->fileList().size()));
    if (highlight_ == old) return;
    if (highlight_ >= 0)
        verticalScrollBar()->setValue(preview::scrollShowing(highlight_, scrollPosition(), viewport()->height()));
    updateRow(old);
    updateRow(highlight_);
}

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
    for (int row = rows.first; row < rows.end; ++row) {
        const std::string& path = files[static_cast<std::size_t>(row)];
        const bool highlighted = row == highlight_;
        if (highlighted)
            painter.fillRect(0, preview::rowTop(row, scroll), viewport()->width(), preview::kRowHeight,
                             palette().color(QPalette::Highlight));
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
        painter.setPen(palette().color(highlighted ? QPalette::HighlightedText : QPalette::Text));
        // Only the shown name is decoded; the path keeps its bytes.
        painter.drawText(QRect(label.left, label.top, label.width(), label.height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         QFile::decodeName(QByteArray::fromStdString(fileNameOf(path))));
    }
}

std::optional<QImage> CPreviewWnd::pictureThumbnail(const std::string& path) {
    const auto extension = importExtension(path);
    if (!extension || !imageio::isPictureExtension(*extension)) return std::nullopt;
    const auto known = pictureThumbnails_->find(path);
    if (!known) return std::nullopt;  // on its way
    return *known;
}

void CPreviewWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || dialog_ == nullptr) return;
    const QPoint at = event->position().toPoint();
    const std::vector<std::string>& files = dialog_->fileList();
    const auto row = preview::rowAt(at.y(), scrollPosition(), static_cast<int>(files.size()));
    if (!row) return;
    // A copy: choosing ends the dialog, which may list again.
    const std::string path = files[static_cast<std::size_t>(*row)];
    dialog_->chooseFile(path);
}

void CPreviewWnd::keyPressEvent(QKeyEvent* event) {
    const int page = std::max(1, viewport()->height() / preview::kRowHeight);
    const int all = dialog_ == nullptr ? 0 : static_cast<int>(dialog_->fileList().size());
    switch (event->key()) {
        case Qt::Key_Up:
            return moveHighlight(-1);
        case Qt::Key_Down:
            return moveHighlight(1);
        case Qt::Key_PageUp:
            return moveHighlight(-page);
        case Qt::Key_PageDown:
            return moveHighlight(page);
        case Qt::Key_Home:
            return moveHighlight(-all);
        case Qt::Key_End:
            return moveHighlight(all);
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (dialog_ != nullptr && highlight_ >= 0 && highlight_ < all) {
                const std::string path = dialog_->fileList()[static_cast<std::size_t>(highlight_)];
                dialog_->chooseFile(path);
                return;
            }
            break;
        default:
            break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CPreviewWnd::mouseReleaseEvent(QMouseEvent* event) {
    // The press did all there is to do.
    event->accept();
}

}  // namespace pelorin
