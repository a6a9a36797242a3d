#include "imageio/font_text.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>

namespace pelorin::imageio {

Canvas renderInstalledFontText(const QString& family, int pixelHeight, const QString& text, CanvasSize maxSize) {
    QFont font(family);
    font.setPixelSize(std::clamp(pixelHeight, 4, 64));
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    const QStringList lines = text.split(QLatin1Char('\n'));
    int width = 1;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    const int height = std::max(1, static_cast<int>(lines.size()) * metrics.height());
    // Drawn no larger than needed for the block that is kept.
    QImage image(std::min(width, maxSize.width), std::min(height, maxSize.height), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        for (qsizetype i = 0; i < lines.size(); ++i)
            painter.drawText(0, static_cast<int>(i) * metrics.height() + metrics.ascent(), lines[i]);
    }
    Canvas cells(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) cells.set(x, y, qGray(image.pixel(x, y)) < 128);
    return cells;
}

}  // namespace pelorin::imageio
