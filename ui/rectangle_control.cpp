#include "ui/rectangle_control.h"

#include <QPainter>

void RectangleControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QPen(Qt::black, 0));  // cosmetic: exactly one pixel wide
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
