#include "test_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>

QImage colourfulScene(int width, int height)
{
    QImage scene(width, height, QImage::Format_RGB32);
    QPainter painter(&scene);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(width / 320.0, height / 256.0);  // drawn on a 320 x 256 plan

    QLinearGradient sky(0, 0, 0, 170);
    sky.setColorAt(0, QColor(20, 40, 140));
    sky.setColorAt(0.6, QColor(240, 120, 60));
    sky.setColorAt(1, QColor(255, 220, 120));
    painter.fillRect(QRectF(0, 0, 320, 256), sky);

    QRadialGradient sun(QPointF(230, 110), 45);
    sun.setColorAt(0, QColor(255, 255, 200));
    sun.setColorAt(0.5, QColor(255, 200, 40));
    sun.setColorAt(1, QColor(255, 140, 40, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sun);
    painter.drawEllipse(QPointF(230, 110), 45, 45);

    QPainterPath far;
    far.moveTo(0, 170);
    far.cubicTo(80, 110, 150, 190, 320, 140);
    far.lineTo(320, 256);
    far.lineTo(0, 256);
    painter.setBrush(QColor(60, 120, 90));
    painter.drawPath(far);

    QLinearGradient meadow(0, 180, 0, 230);
    meadow.setColorAt(0, QColor(120, 200, 60));
    meadow.setColorAt(1, QColor(20, 90, 30));
    QPainterPath near;
    near.moveTo(0, 200);
    near.cubicTo(120, 160, 200, 230, 320, 190);
    near.lineTo(320, 256);
    near.lineTo(0, 256);
    painter.setBrush(meadow);
    painter.drawPath(near);

    const std::array<QColor, 8> blocks{Qt::black, Qt::red, Qt::green, Qt::yellow,
                                       Qt::blue, Qt::magenta, Qt::cyan, Qt::white};
    for (std::size_t i = 0; i < blocks.size(); ++i)
        painter.fillRect(QRectF(i * 40.0, 232, 40, 24), blocks[i]);
    return scene;
}

QImage plainPicture(int width, int height, QColor colour)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

QString savePng(const QImage& picture, const QString& path)
{
    picture.save(path, "PNG");
    return path;
}
