#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QWidget>

// One picture drawn at a display size of its own, enlarged by a whole zoom
// or fitted to the widget: a screen whose pixels are not square (mode 0's
// 640 x 256 pixels cover 640 x 555 at the screen's shape on a television),
// or a source picture at its own shape. An outline, in the picture's
// pixels, can mark a part of it.
class PictureView final : public QWidget {
    Q_OBJECT
public:
    // Zoom 0 fits the picture into the widget, keeping its display shape.
    static constexpr int kFit = 0;

    explicit PictureView(QWidget* parent = nullptr);

    // `displaySize` is the picture's size at zoom 1, in widget pixels.
    void showPicture(const QImage& picture, QSize displaySize, QRect outline = {});
    void setZoom(int zoom);
    int zoom() const { return zoom_; }

    // Where the picture is drawn inside the widget: centred, at the zoom or
    // as large as fits.
    QRect pictureArea() const;
    QRect outline() const { return outline_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage& drawnPicture(QSize size) const;

    QImage picture_;
    mutable QImage drawn_;  // picture_ at the size it was drawn at last
    QSize displaySize_{640, 512};
    QRect outline_;
    int zoom_ = 1;
};
