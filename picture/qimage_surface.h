#pragma once

#include "platform/pixel_surface.h"

#include <QImage>

// A pixel surface over a QImage in Format_RGB32, whose scan lines are already
// 0xFFRRGGBB words. The window's canvases and the command line's preview PNG
// both use it, so both are painted by the same code.
class QImageSurface final : public PixelSurface {
public:
    explicit QImageSurface(QImage& image) : image_(image) {}

    int width() const override { return image_.width(); }
    int height() const override { return image_.height(); }
    std::uint32_t* scanLine(int y) override
    {
        return reinterpret_cast<std::uint32_t*>(image_.scanLine(y));
    }
    const std::uint32_t* scanLine(int y) const override
    {
        return reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y));
    }

private:
    QImage& image_;
};
