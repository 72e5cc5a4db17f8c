#include "ui/number_box.h"

#include <QKeyEvent>

#include <utility>

// A number outside the range is let through as unfinished rather than
// dropped key by key, so that it can be refused as a whole with the range.
// Anything else the spin box would not take (a letter, a third decimal) is
// still dropped as it is typed.
QValidator::State NumberBox::validate(QString& input, int& pos) const
{
    const QValidator::State state = QDoubleSpinBox::validate(input, pos);
    if (state != QValidator::Invalid)
        return state;
    bool number = false;
    const double value = locale().toDouble(input.trimmed(), &number);
    return number && (value < minimum() || value > maximum()) ? QValidator::Intermediate : QValidator::Invalid;
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
