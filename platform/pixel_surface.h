#pragma once

#include "platform/color.h"

#include <cstdint>
#include <vector>

// Something the engine can paint pixels into: the window's preview canvas, a
// PNG being prepared by the command line, or a plain buffer in tests.
// Pixels are 0xFFRRGGBB words reached a whole scan line at a time, so painting
// costs one virtual call per line rather than one per pixel.
class PixelSurface {
public:
    virtual ~PixelSurface() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;
    // Start of scan line y (0 at the top), width() pixels long.
    virtual std::uint32_t* scanLine(int y) = 0;
    virtual const std::uint32_t* scanLine(int y) const = 0;

    void setPixel(int x, int y, Color c) { scanLine(y)[x] = toRgb32(c); }
    Color pixel(int x, int y) const { return fromRgb32(scanLine(y)[x]); }
};

// A surface that owns its pixels, all black at creation.
class BufferSurface final : public PixelSurface {
public:
    BufferSurface() : BufferSurface(0, 0) {}
    BufferSurface(int width, int height)
        : width_(width), height_(height),
          pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFF000000u)
    {
    }

    int width() const override { return width_; }
    int height() const override { return height_; }
    std::uint32_t* scanLine(int y) override { return pixels_.data() + offset(y); }
    const std::uint32_t* scanLine(int y) const override { return pixels_.data() + offset(y); }

    const std::vector<std::uint32_t>& pixels() const { return pixels_; }
    std::vector<std::uint32_t>& pixels() { return pixels_; }

    friend bool operator==(const BufferSurface& a, const BufferSurface& b)
    {
        return a.width_ == b.width_ && a.height_ == b.height_ && a.pixels_ == b.pixels_;
    }

private:
    std::size_t offset(int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    }

    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
};
