#include "resources/button_images.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace pelorin {

namespace {

constexpr int kSize = 32;
const QColor kOutline(50, 45, 40);

QImage drawPicture(const std::function<void(QPainter&)>& draw) {
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return image;
}

// A tool that is not current: its picture without colour and lighter, so the
// current one stands out.
QImage washedOut(const QImage& coloured) {
    QImage grey = coloured.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int level = 255 - (255 - qGray(line[x])) * 11 / 20;
            line[x] = qRgba(level, level, level, qAlpha(line[x]));
        }
    }
    return grey.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QPen outlinePen(qreal width = 1.0) { return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void drawPencil(QPainter& p) {
    // Drawn along the x axis, then turned so that the point is at the lower left.
    p.translate(16, 16);
    p.rotate(-45);
    p.setPen(outlinePen());
    p.setBrush(QColor(245, 205, 150));  // bare wood
    p.drawPolygon(QPolygonF({QPointF(-14, 0), QPointF(-7, -4), QPointF(-7, 4)}));
    p.setBrush(QColor(40, 40, 40));  // the lead
    p.drawPolygon(QPolygonF({QPointF(-14, 0), QPointF(-11.2, -1.6), QPointF(-11.2, 1.6)}));
    p.setBrush(QColor(250, 190, 20));
    p.drawRect(QRectF(-7, -4, 14, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 225, 110));
    p.drawRect(QRectF(-6.5, -3.5, 13, 2.2));
    p.setBrush(QColor(215, 145, 0));
    p.drawRect(QRectF(-6.5, 1.3, 13, 2.2));
    p.setPen(outlinePen());
    p.setBrush(QColor(190, 190, 200));  // the metal band
    p.drawRect(QRectF(7, -4, 3, 8));
    p.setBrush(QColor(240, 120, 140));  // the rubber
    p.drawRoundedRect(QRectF(10, -4, 4.5, 8), 1.5, 1.5);
}

void drawEraser(QPainter& p) {
    p.translate(16, 17);
    p.rotate(-35);
    p.setPen(outlinePen());
    p.setBrush(QColor(245, 130, 150));
    p.drawRoundedRect(QRectF(-12, -5.5, 11, 11), 2, 2);
    p.setBrush(QColor(60, 110, 215));
    p.drawRoundedRect(QRectF(-1, -5.5, 13, 11), 2, 2);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1.2));
    p.drawLine(QPointF(-10.5, -3.6), QPointF(-3, -3.6));
    p.drawLine(QPointF(1, -3.6), QPointF(10, -3.6));
    p.resetTransform();
    // Crumbs rubbed off.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 130, 150));
    p.drawEllipse(QPointF(5, 27), 1.3, 1.3);
    p.drawEllipse(QPointF(9, 29), 1.0, 1.0);
}

void drawGlobeWithArrows(QPainter& p) {
    const QPointF centre(16, 16);
    p.setPen(outlinePen());
    p.setBrush(QColor(70, 140, 230));
    p.drawEllipse(centre, 8, 8);
    // Land.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 175, 80));
    p.drawEllipse(QPointF(13, 13.5), 3.2, 2.6);
    p.drawEllipse(QPointF(19, 19), 2.6, 3.2);
    // Meridian and equator.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 150), 0.9));
    p.drawEllipse(centre, 3.6, 7.6);
    p.drawLine(QPointF(8.4, 16), QPointF(23.6, 16));
    // Four arrows, one to each side.
    p.setPen(outlinePen(0.8));
    p.setBrush(QColor(215, 40, 40));
    for (int turn = 0; turn < 4; ++turn) {
        p.save();
        p.translate(centre);
        p.rotate(90.0 * turn);
        p.drawPolygon(QPolygonF({QPointF(0, -15.5), QPointF(-4, -10.5), QPointF(4, -10.5)}));
        p.restore();
    }
}

void drawTwoSquares(QPainter& p) {
    p.setPen(outlinePen());
    p.setBrush(QColor(0, 192, 192));
    p.drawRect(QRectF(4.5, 4.5, 15, 15));
    p.setBrush(QColor(0, 0, 192));
    p.drawRect(QRectF(12.5, 12.5, 15, 15));
    // The outline of the first square, seen through the second.
    p.setPen(QPen(QColor(255, 255, 255, 200), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(13.5, 19.5), QPointF(19.5, 19.5));
    p.drawLine(QPointF(19.5, 13.5), QPointF(19.5, 19.5));
}

void drawMagnifier(QPainter& p, bool plus) {
    const QPointF lens(13, 13);
    p.setPen(QPen(QColor(120, 75, 35), 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 20), QPointF(27, 27));
    p.setPen(QPen(QColor(70, 70, 80), 2.4));
    p.setBrush(QColor(205, 232, 255));
    p.drawEllipse(lens, 8.5, 8.5);
    p.setPen(QPen(QColor(20, 20, 20), 2.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(8.5, 13), QPointF(17.5, 13));
    if (plus) p.drawLine(QPointF(13, 8.5), QPointF(13, 17.5));
}

void drawLineTool(QPainter& p) {
    // A thick stroke from lower left to upper right between two handles.
    p.setPen(QPen(kOutline, 5.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 25), QPointF(25, 7));
    p.setPen(QPen(QColor(215, 40, 40), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 25), QPointF(25, 7));
    p.setPen(outlinePen());
    p.setBrush(QColor(250, 190, 20));
    p.drawRect(QRectF(3.5, 21.5, 6, 6));
    p.drawRect(QRectF(22.5, 3.5, 6, 6));
}

void drawRectangleTool(QPainter& p) {
    // An outline, no fill: what the tool draws.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kOutline, 5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(QRectF(6.5, 8.5, 19, 15));
    p.setPen(QPen(QColor(60, 110, 215), 2.6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(QRectF(6.5, 8.5, 19, 15));
}

void drawFillTool(QPainter& p) {
    // A tipped bucket pouring a drop.
    p.save();
    p.translate(14, 15);
    p.rotate(-30);
    p.setPen(outlinePen());
    p.setBrush(QColor(190, 190, 200));
    p.drawPolygon(QPolygonF({QPointF(-8, -7), QPointF(8, -7), QPointF(6, 9), QPointF(-6, 9)}));
    p.setBrush(QColor(70, 140, 230));
    p.drawEllipse(QPointF(0, -7), 8, 2.5);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-8, -15, 16, 14), 0, 180 * 16);
    p.restore();
    p.setPen(outlinePen(0.8));
    p.setBrush(QColor(70, 140, 230));
    QPainterPath drop;
    drop.moveTo(25, 17);
    drop.cubicTo(QPointF(22, 23), QPointF(22, 27), QPointF(25, 27));
    drop.cubicTo(QPointF(28, 27), QPointF(28, 23), QPointF(25, 17));
    p.drawPath(drop);
}

}  // namespace

void drawEllipseTool(QPainter& p) {
    // An outline, no fill, like the rectangle's.
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kOutline, 5));
    p.drawEllipse(QRectF(5.5, 8.5, 21, 15));
    p.setPen(QPen(QColor(40, 160, 90), 2.6));
    p.drawEllipse(QRectF(5.5, 8.5, 21, 15));
}

void drawInvertPenTool(QPainter& p) {
    // A square half black, half white, and a pencil crossing the edge.
    p.setPen(outlinePen());
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 3.5, 25, 25));
    p.setBrush(QColor(30, 30, 30));
    p.drawPolygon(QPolygonF({QPointF(3.5, 3.5), QPointF(28.5, 3.5), QPointF(3.5, 28.5)}));
    p.save();
    p.scale(0.8, 0.8);
    p.translate(4, 4);
    drawPencil(p);
    p.restore();
}

std::vector<QImage> drawSecondRowImages() {
    const QImage line = drawPicture(drawLineTool);
    const QImage rectangle = drawPicture(drawRectangleTool);
    const QImage fill = drawPicture(drawFillTool);
    return {washedOut(line), line, washedOut(rectangle), rectangle, washedOut(fill), fill};
}

std::vector<QImage> drawFirstRowExtraImages() {
    const QImage ellipse = drawPicture(drawEllipseTool);
    const QImage invertPen = drawPicture(drawInvertPenTool);
    return {washedOut(ellipse), ellipse, washedOut(invertPen), invertPen};
}

QImage drawTextButtonImage() {
    return drawPicture([](QPainter& p) {
        QPainterPath letter;
        letter.addRect(QRectF(5.5, 4.5, 21, 6));
        letter.addRect(QRectF(13, 10.5, 6, 17));
        p.setPen(outlinePen());
        p.setBrush(QColor(40, 90, 200));
        p.drawPath(letter.simplified());
    });
}

std::array<QImage, 10> drawButtonImages() {
    const QImage pencil = drawPicture(drawPencil);
    const QImage eraser = drawPicture(drawEraser);
    const QImage globe = drawPicture(drawGlobeWithArrows);
    const QImage squares = drawPicture(drawTwoSquares);
    return {washedOut(pencil),
            pencil,
            washedOut(eraser),
            eraser,
            washedOut(globe),
            globe,
            washedOut(squares),
            squares,
            drawPicture([](QPainter& p) { drawMagnifier(p, true); }),
            drawPicture([](QPainter& p) { drawMagnifier(p, false); })};
}

}  // namespace pelorin
