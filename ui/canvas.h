#pragma once

#include "platform/pixel_surface.h"
#include "picture/qimage_surface.h"

#include <QImage>
#include <QWidget>

// A 320 x 256 drawing area that keeps what is drawn into it: pixels are held
// in a QImage, shown one to one, and read back exactly as they were set. The
// conversion paints the preview through surface().
class Canvas final : public QWidget {
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent = nullptr);

    // Replaces every pixel with the picture's, which must be 320 x 256.
    void drawPicture(const QImage& picture);
    // What the canvas holds, 320 x 256 in Format_RGB32.
    const QImage& image() const { return image_; }
    // The pixels as the engine paints them; what is painted is shown.
    PixelSurface& surface() { return surface_; }

    QSize sizeHint() const override { return image_.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The image's scan lines, scheduling a repaint whenever one is handed out
    // for writing.
    class RepaintingSurface final : public PixelSurface {
    public:
        explicit RepaintingSurface(Canvas& canvas) : canvas_(canvas), pixels_(canvas.image_) {}
        int width() const override { return pixels_.width(); }
        int height() const override { return pixels_.height(); }
        std::uint32_t* scanLine(int y) override;
        const std::uint32_t* scanLine(int y) const override { return pixels_.scanLine(y); }

    private:
        Canvas& canvas_;
        QImageSurface pixels_;
    };

    QImage image_;
    RepaintingSurface surface_{*this};
};
