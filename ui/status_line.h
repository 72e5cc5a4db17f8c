#pragma once

#include <QLabel>
#include <QString>

// The window's status line: one line of text in whatever room the status
// bar leaves it beside the progress bar and "Stop". A text too long for
// that room is shortened in the middle, so that both what it is about and
// how it ends show; the whole text is its tooltip, and text() gives it.
class StatusLine final : public QLabel {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent = nullptr);

    void setText(const QString& text);
    // The text as drawn: shortened to the room there is.
    QString shownText() const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
