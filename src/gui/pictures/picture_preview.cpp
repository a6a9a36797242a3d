#include "pictures/picture_preview.h"

#include <QPainter>

namespace pelorin {

PicturePreview::PicturePreview(QSize room, QWidget* parent) : QWidget(parent) {
    setFixedSize(room);
    setAutoFillBackground(true);
}

void PicturePreview::show(const QImage& image) {
    image_ = image;
    repaint();
}

void PicturePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Centred in the room the preview keeps for the largest canvas.
    painter.drawImage((width() - image_.width()) / 2, (height() - image_.height()) / 2, image_);
}

}  // namespace pelorin
