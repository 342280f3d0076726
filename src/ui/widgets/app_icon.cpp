#include "ui/widgets/app_icon.h"

#include <QGuiApplication>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace aquarium {

QImage DrawAppIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // The tank: water getting darker with depth, sand at the bottom, a dark frame.
    QLinearGradient water(0, 2, 0, 30);
    water.setColorAt(0, QColor(120, 200, 240));
    water.setColorAt(1, QColor(20, 80, 160));
    p.setPen(QPen(QColor(30, 40, 60), 1.2));
    p.setBrush(water);
    p.drawRoundedRect(QRectF(1.5, 3.5, 29, 25), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(225, 200, 140));
    p.drawRect(QRectF(2.2, 24.5, 27.6, 3.4));

    // Two water plants.
    p.setPen(QPen(QColor(40, 150, 60), 1.6, Qt::SolidLine, Qt::RoundCap));
    QPainterPath plant;
    plant.moveTo(6, 25);
    plant.cubicTo(4, 20, 8, 16, 6, 10);
    plant.moveTo(8.5, 25);
    plant.cubicTo(10, 21, 7, 18, 9.5, 14);
    plant.moveTo(26, 25);
    plant.cubicTo(28, 21, 24, 17, 26.5, 12);
    p.setBrush(Qt::NoBrush);
    p.drawPath(plant);

    // The fish: an orange body with a tail, a fin and an eye.
    p.setPen(QPen(QColor(120, 50, 0), 0.8));
    p.setBrush(QColor(250, 140, 30));
    QPainterPath tail;
    tail.moveTo(20, 15);
    tail.lineTo(25.5, 10.5);
    tail.lineTo(25.5, 19.5);
    tail.closeSubpath();
    p.drawPath(tail);
    p.drawEllipse(QRectF(9, 10.5, 13, 9));
    p.setBrush(QColor(255, 200, 90));
    QPainterPath fin;
    fin.moveTo(14, 11);
    fin.quadTo(16, 7.5, 19, 11.5);
    p.drawPath(fin);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(11, 12.8, 3, 3));
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(11.9, 13.7, 1.4, 1.4));

    // Bubbles.
    p.setPen(QPen(QColor(235, 250, 255), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(7.5, 6, 2.4, 2.4));
    p.drawEllipse(QRectF(9.5, 8.8, 1.6, 1.6));
    return image;
}

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(DrawAppIcon(size)));
    return icon;
}

void PresentApplication()
{
    QGuiApplication::setApplicationName(QLatin1String(kApplicationId));
    QGuiApplication::setDesktopFileName(QLatin1String(kApplicationId));
    QGuiApplication::setWindowIcon(AppIcon());
}

} // namespace aquarium
