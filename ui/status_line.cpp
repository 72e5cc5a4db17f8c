#include "ui/status_line.h"

#include <QFontMetrics>
#include <QPainter>

StatusLine::StatusLine(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void StatusLine::setText(const QString& text)
{
    QLabel::setText(text);
    setToolTip(text);
}

QString StatusLine::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

// Asks for no width of its own, so that the status bar's other widgets are
// never pushed over it.
QSize StatusLine::minimumSizeHint() const
{
    return QSize(0, QLabel::minimumSizeHint().height());
}

QSize StatusLine::sizeHint() const
{
    return QSize(0, QLabel::sizeHint().height());
}

void StatusLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), int(alignment() | Qt::AlignVCenter), shownText());
}
