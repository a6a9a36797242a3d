#pragma once

#include <QImage>
#include <QWidget>

namespace pelorin {

// Shows one picture at its own size; the dialogs decide what it holds.
class PicturePreview : public QWidget {
    Q_OBJECT
public:
    explicit PicturePreview(QSize room, QWidget* parent = nullptr);

    // Takes the picture and repaints at once.
    void show(const QImage& image);
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

}  // namespace pelorin
