#include "ui/edit/edit_canvas.h"

#include "ui/edit/screen_document.h"
#include "ui/edit/screen_image.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>

namespace {

// A grid line costs a widget pixel of each block, worth it once blocks are
// this large.
constexpr int kGridFrom = 6;

}  // namespace

EditCanvas::EditCanvas(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void EditCanvas::setDocument(ScreenDocument* document)
{
    if (document_ != nullptr) {
        if (document_->inStroke())
            document_->endStroke();
        disconnect(document_, nullptr, this, nullptr);
    }
    document_ = document;
    anchor_.reset();
    shape_.clear();
    image_ = document != nullptr ? screenImage(document->screen()) : QImage();
    if (document != nullptr) {
        connect(document, &ScreenDocument::pixelsChanged, this, &EditCanvas::pixelsChanged);
        connect(document, &ScreenDocument::paletteChanged, this, &EditCanvas::paletteChanged);
    }
    updateGeometry();
    resize(sizeHint());
    update();
}

void EditCanvas::setZoom(int zoom)
{
    zoom_ = std::clamp(zoom, 1, 16);
    updateGeometry();
    resize(sizeHint());
    update();
}

// The display grid's pixels per screen pixel: 640 x 512 for every bitmap
// mode, the teletext chip's 640 x 500 pixels one each.
QSize EditCanvas::cellSize() const
{
    if (image_.isNull())
        return QSize(zoom_, zoom_);
    const bool teletext = document_ != nullptr && document_->screen().isTeletext();
    const int across = teletext ? 1 : kDisplayWidth / image_.width();
    const int down = teletext ? 1 : kDisplayLines / kScreenLines;
    return QSize(across * zoom_, down * zoom_);
}

QSize EditCanvas::sizeHint() const
{
    const QSize cell = cellSize();
    return image_.isNull() ? QSize(kDisplayWidth, kDisplayLines)
                           : QSize(image_.width() * cell.width(), image_.height() * cell.height());
}

QRect EditCanvas::cellRect(ScreenPoint point) const
{
    const QSize cell = cellSize();
    return QRect(point.x * cell.width(), point.y * cell.height(), cell.width(), cell.height());
}

ScreenPoint EditCanvas::pointAt(QPoint at) const
{
    const QSize cell = cellSize();
    // Floor division, so that a point left of or above the screen is outside it.
    const auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    return {floorDiv(at.x(), cell.width()), floorDiv(at.y(), cell.height())};
}

bool EditCanvas::showsGrid() const
{
    const QSize cell = cellSize();
    return std::min(cell.width(), cell.height()) >= kGridFrom;
}

QRect EditCanvas::widgetArea(const QRect& screenArea) const
{
    const QSize cell = cellSize();
    return QRect(screenArea.left() * cell.width(), screenArea.top() * cell.height(),
                 screenArea.width() * cell.width(), screenArea.height() * cell.height());
}

void EditCanvas::pixelsChanged(const QRect& area)
{
    redrawScreenArea(image_, document_->screen(), area);
    update(widgetArea(area));
}

void EditCanvas::paletteChanged()
{
    image_ = screenImage(document_->screen());
    update();
}

// Only the blocks the exposed rectangle touches are drawn: at 16x the
// screen is thousands of pixels across and a stroke exposes a few blocks.
void EditCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect screenArea = image_.isNull() ? QRect() : QRect(QPoint(0, 0), sizeHint());
    // Only the margins are cleared: the screen covers the rest.
    for (const QRect& margin : QRegion(event->rect()).subtracted(screenArea))
        painter.fillRect(margin, palette().color(QPalette::Dark));
    const QRect exposed = event->rect() & screenArea;
    if (exposed.isEmpty())
        return;
    const QSize cell = cellSize();
    const QRect cells(QPoint(exposed.left() / cell.width(), exposed.top() / cell.height()),
                      QPoint(exposed.right() / cell.width(), exposed.bottom() / cell.height()));
    painter.drawImage(widgetArea(cells), image_, cells);
    // The line or rectangle the button's release would draw, in the colour
    // it would be drawn in.
    for (const ScreenPoint point : shape_) {
        const QRect block = cellRect(point);
        if (block.intersects(exposed))
            painter.fillRect(block, QColor::fromRgb(shownColour(document_->screen(), point.y, colour_)));
    }
    if (showsGrid())
        paintGrid(painter, cells);
}

void EditCanvas::paintGrid(QPainter& painter, const QRect& cells) const
{
    const QSize cell = cellSize();
    const QRect area = widgetArea(cells);
    painter.setPen(QColor(128, 128, 128, 110));
    for (int x = cells.left(); x <= cells.right() + 1; ++x)
        painter.drawLine(x * cell.width(), area.top(), x * cell.width(), area.bottom());
    for (int y = cells.top(); y <= cells.bottom() + 1; ++y)
        painter.drawLine(area.left(), y * cell.height(), area.right(), y * cell.height());
}

std::vector<ScreenPoint> EditCanvas::shapeTo(ScreenPoint end) const
{
    std::vector<ScreenPoint> shape = tool_ == EditTool::Line ? linePixels(*anchor_, end) : rectanglePixels(*anchor_, end);
    std::erase_if(shape, [this](ScreenPoint point) { return !onScreen(document_->screen(), point); });
    return shape;
}

void EditCanvas::showShape(std::vector<ScreenPoint> shape)
{
    const auto areaOf = [this](const std::vector<ScreenPoint>& points) {
        QRect area;
        for (const ScreenPoint point : points)
            area |= cellRect(point);
        return area;
    };
    update(areaOf(shape_));
    shape_ = std::move(shape);
    update(areaOf(shape_));
}

void EditCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || document_ == nullptr || !document_->editable() || anchor_)
        return;
    const ScreenPoint at = pointAt(event->position().toPoint());
    if (!onScreen(document_->screen(), at))
        return;
    emit lineChosen(at.y);
    switch (tool_) {
    case EditTool::Pencil:
        document_->beginStroke(QStringLiteral("Pencil"));
        document_->strokePixels(std::span<const ScreenPoint>(&at, 1), colour_);
        anchor_ = at;
        last_ = at;
        break;
    case EditTool::Line:
    case EditTool::Rectangle:
        anchor_ = at;
        showShape(shapeTo(at));
        break;
    case EditTool::Fill:
        document_->paint(floodPixels(document_->screen(), at), colour_, QStringLiteral("Fill"));
        break;
    case EditTool::Picker:
        emit picked(document_->screen().at(at.x, at.y));
        break;
    }
}

void EditCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const ScreenPoint at = pointAt(event->position().toPoint());
    const bool on = document_ != nullptr && !image_.isNull() && at.x >= 0 && at.y >= 0 && at.x < image_.width() &&
                    at.y < image_.height();
    emit hovered(on ? std::optional<ScreenPoint>(at) : std::nullopt);
    if (!anchor_ || document_ == nullptr)
        return;
    if (tool_ == EditTool::Pencil && !document_->inStroke()) {
        anchor_.reset();  // the stroke was ended under the pointer
    } else if (tool_ == EditTool::Pencil) {
        document_->strokePixels(linePixels(last_, at), colour_);
        last_ = at;
    } else {
        showShape(shapeTo(at));
    }
}

void EditCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !anchor_ || document_ == nullptr)
        return;
    const ScreenPoint at = pointAt(event->position().toPoint());
    if (tool_ == EditTool::Pencil) {
        if (document_->inStroke()) {
            document_->strokePixels(linePixels(last_, at), colour_);
            document_->endStroke();
        }
    } else {
        const std::vector<ScreenPoint> shape = shapeTo(at);
        showShape({});
        document_->paint(shape, colour_, tool_ == EditTool::Line ? QStringLiteral("Line") : QStringLiteral("Rectangle"));
    }
    anchor_.reset();
}

void EditCanvas::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    emit hovered(std::nullopt);
}
