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
    drawn_ = QImage();
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

namespace {

// Each pixel repeated a whole number of times, at least as large as `size`,
// then averaged down to it: a whole multiple stays sharp, and otherwise no
// pixel is dropped or drawn wider than its neighbours; only the rows or
// columns where two pixels meet are mixed.
QImage scaledTo(const QImage& picture, QSize size)
{
    const auto whole = [](int drawn, int pixels) { return std::max(1, (drawn + pixels - 1) / pixels) * pixels; };
    QImage repeated = picture.scaled(whole(size.width(), picture.width()), whole(size.height(), picture.height()),
                                     Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (repeated.size() == size)
        return repeated;
    return repeated.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

// A whole zoom repeats the picture as drawn at 1x, which is quicker than
// averaging the larger picture and looks the same.
const QImage& PictureView::drawnPicture(QSize size) const
{
    if (drawn_.size() == size)
        return drawn_;
    const int zoom = size.width() / std::max(displaySize_.width(), 1);
    if (zoom > 1 && size == displaySize_ * zoom)
        drawn_ = scaledTo(picture_, displaySize_).scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    else
        drawn_ = scaledTo(picture_, size);
    return drawn_;
}

void PictureView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = picture_.isNull() ? QRect() : pictureArea();
    // Only the margins are cleared: the picture covers the rest.
    for (const QRect& margin : QRegion(event->rect()).subtracted(area))
        painter.fillRect(margin, palette().color(QPalette::Dark));
    if (picture_.isNull())
        return;
    painter.drawImage(area.topLeft(), drawnPicture(area.size()));
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
