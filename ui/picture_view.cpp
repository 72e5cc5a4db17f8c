#include "ui/picture_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>

PictureView::PictureView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::showPicture(const QImage& picture, QSize displaySize, QRect outline)
{
    const bool resized = displaySize != displaySize_;
    picture_ = picture;
    displaySize_ = displaySize;
    outline_ = outline;
    if (resized)
        updateGeometry();
    update();
}

void PictureView::setZoom(int zoom)
{
    zoom_ = zoom;
    updateGeometry();
    update();
}

QSize PictureView::sizeHint() const
{
    return zoom_ == kFit ? displaySize_ : displaySize_ * zoom_;
}

QRect PictureView::pictureArea() const
{
    QSize drawn = displaySize_ * std::max(zoom_, 1);
    if (zoom_ == kFit)
        drawn = displaySize_.scaled(size(), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return QRect(QPoint((width() - drawn.width()) / 2, (height() - drawn.height()) / 2), drawn);
}

// Whole zooms repeat each pixel exactly; a fitted picture of another size is
// smoothed so that no pixel is dropped.
void PictureView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = picture_.isNull() ? QRect() : pictureArea();
    // Only the margins are cleared: the picture covers the rest.
    for (const QRect& margin : QRegion(event->rect()).subtracted(area))
        painter.fillRect(margin, palette().color(QPalette::Dark));
    if (picture_.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ == kFit && area.size() != displaySize_);
    painter.drawImage(area, picture_);
    if (outline_.isNull())
        return;
    const double sx = double(area.width()) / picture_.width(), sy = double(area.height()) / picture_.height();
    const QRectF marked(area.left() + outline_.left() * sx, area.top() + outline_.top() * sy,
                        outline_.width() * sx, outline_.height() * sy);
    // Dashed in two colours, so it shows on light and dark pictures alike.
    painter.setPen(QPen(Qt::white, 2));
    painter.drawRect(marked.adjusted(1, 1, -1, -1));
    painter.setPen(QPen(Qt::black, 2, Qt::DashLine));
    painter.drawRect(marked.adjusted(1, 1, -1, -1));
}
