#pragma once

#include <QDoubleSpinBox>
#include <QString>

// A box for a number option. The keyboard may type any number; one outside
// the range is not taken, as in any spin box, but announced with what was
// typed, so that the window can say why the box went back to its value.
class NumberBox final : public QDoubleSpinBox {
    Q_OBJECT
public:
    using QDoubleSpinBox::QDoubleSpinBox;

    QValidator::State validate(QString& input, int& pos) const override;
    // Called with a typed text that cannot be taken, when the entry ends.
    void fixup(QString& input) const override;

signals:
    // After Return or leaving the box with `typed`, which was not taken.
    void outOfRange(const QString& typed);

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void announceRefusal();

    mutable QString refused_;  // what fixup() was handed, until announced
};
