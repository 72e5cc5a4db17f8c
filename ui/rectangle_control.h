#pragma once

#include <QWidget>

// A white rectangle with a one-pixel black border, drawn behind a canvas.
class RectangleControl final : public QWidget {
    Q_OBJECT
public:
    explicit RectangleControl(QWidget* parent = nullptr) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};
