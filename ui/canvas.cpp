#include "ui/canvas.h"

#include "conversion/classic/conversion_state.h"

#include <QPaintEvent>
#include <QPainter>

Canvas::Canvas(QWidget* parent)
    : QWidget(parent), image_(kPictureWidth, kPictureHeight, QImage::Format_RGB32)
{
    image_.fill(Qt::white);
    // Every pixel is painted from the image, so Qt need not clear the area first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::drawPicture(const QImage& picture)
{
    Q_ASSERT(picture.size() == image_.size());
    image_ = picture.convertToFormat(QImage::Format_RGB32);
    update();
}

void Canvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), image_, event->rect());
}

std::uint32_t* Canvas::RepaintingSurface::scanLine(int y)
{
    canvas_.update();
    return pixels_.scanLine(y);
}
