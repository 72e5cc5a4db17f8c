#include "ui/number_box.h"

#include <QKeyEvent>

#include <utility>

// A whole number typed is let through as unfinished rather than dropped key
// by key, so that it can be refused as a whole.
QValidator::State NumberBox::validate(QString& input, int& pos) const
{
    const QValidator::State state = QDoubleSpinBox::validate(input, pos);
    if (state != QValidator::Invalid)
        return state;
    bool number = false;
    locale().toDouble(input.trimmed(), &number);
    return number ? QValidator::Intermediate : QValidator::Invalid;
}

void NumberBox::fixup(QString& input) const
{
    refused_ = input.trimmed();
    QDoubleSpinBox::fixup(input);
}

void NumberBox::focusOutEvent(QFocusEvent* event)
{
    QDoubleSpinBox::focusOutEvent(event);
    announceRefusal();
}

void NumberBox::keyPressEvent(QKeyEvent* event)
{
    QDoubleSpinBox::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        announceRefusal();
}

void NumberBox::announceRefusal()
{
    if (refused_.isEmpty())
        return;
    emit outOfRange(std::exchange(refused_, QString()));
}
