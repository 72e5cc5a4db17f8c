#include "teletext_photos.h"

#include "photo_planes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <random>

namespace {

using Rgb = std::array<double, 3>;
using Painter = std::function<Rgb(double x, double y)>;  // x, y in 0..1

// Smooth value noise in 0..1 from a lattice of random values, several octaves.
class Noise {
public:
    explicit Noise(std::uint32_t seed)
    {
        std::mt19937 random(seed);
        for (auto& v : lattice_)
            v = std::uniform_real_distribution<double>(0, 1)(random);
    }

    double operator()(double x, double y) const
    {
        double sum = 0, scale = 1, total = 0;
        for (int octave = 0; octave < 4; ++octave, scale *= 0.5, x *= 2.03, y *= 2.03) {
            sum += scale * smooth(x, y);
            total += scale;
        }
        return sum / total;
    }

private:
    double at(int x, int y) const { return lattice_[static_cast<std::size_t>((x & 63) * 64 + (y & 63))]; }

    double smooth(double x, double y) const
    {
        const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
        const double fx = x - ix, fy = y - iy;
        const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
        const double top = at(ix, iy) + sx * (at(ix + 1, iy) - at(ix, iy));
        const double bottom = at(ix, iy + 1) + sx * (at(ix + 1, iy + 1) - at(ix, iy + 1));
        return top + sy * (bottom - top);
    }

    std::array<double, 64 * 64> lattice_{};
};

Rgb mix(const Rgb& a, const Rgb& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t};
}

double disc(double x, double y, double cx, double cy, double r)  // 1 inside, soft edge
{
    return std::clamp((r - std::hypot(x - cx, y - cy)) * 40.0 + 0.5, 0.0, 1.0);
}

Painter sunset()
{
    return [](double x, double y) {
        Rgb sky = mix(Rgb{90, 40, 120}, Rgb{250, 150, 60}, y * 1.6);
        sky = mix(sky, Rgb{255, 240, 190}, disc(x, y, 0.6, 0.55, 0.09));
        const double hill = 0.7 + 0.08 * std::sin(x * 9) + 0.04 * std::sin(x * 23);
        return y > hill ? mix(Rgb{40, 25, 45}, Rgb{10, 5, 15}, (y - hill) * 4) : sky;
    };
}

Painter face()
{
    return [](double x, double y) {
        const Rgb back = mix(Rgb{30, 60, 90}, Rgb{120, 150, 170}, x);
        const double shade = 0.75 + 0.25 * (1 - std::hypot(x - 0.42, y - 0.38) * 2.5);
        const Rgb skin{230 * shade, 180 * shade, 150 * shade};
        Rgb c = mix(back, skin, std::min(disc(x, y, 0.5, 0.45, 0.28), disc(x, y * 0.8, 0.5, 0.36, 0.26)));
        c = mix(c, Rgb{60, 40, 30}, disc(x, y, 0.4, 0.4, 0.03) + disc(x, y, 0.6, 0.4, 0.03));
        c = mix(c, Rgb{170, 70, 70}, disc(x, y * 3, 0.5, 1.75, 0.08));
        return mix(c, Rgb{80, 50, 30}, y < 0.22 ? disc(x, y, 0.5, 0.3, 0.3) : 0);
    };
}

Painter leaves(std::uint32_t seed)
{
    auto noise = std::make_shared<Noise>(seed);
    return [noise](double x, double y) {
        const double n = (*noise)(x * 12, y * 10);
        return mix(mix(Rgb{20, 50, 15}, Rgb{90, 160, 40}, n * 1.6 - 0.2), Rgb{200, 190, 80}, (n - 0.7) * 5);
    };
}

Painter sea(std::uint32_t seed)
{
    auto noise = std::make_shared<Noise>(seed);
    return [noise](double x, double y) {
        if (y < 0.45)
            return mix(Rgb{120, 170, 230}, Rgb{220, 235, 250}, y * 2);
        const double wave = (*noise)(x * 20, y * 60);
        Rgb c = mix(Rgb{20, 70, 120}, Rgb{60, 140, 170}, wave);
        const bool sail = x > 0.3 && x < 0.4 && y > 0.3 + (0.4 - x) * 1.5 && y < 0.52;
        return sail ? Rgb{240, 240, 235} : c;
    };
}

Painter street()
{
    return [](double x, double y) {
        const int house = static_cast<int>(x * 6);
        const double roof = 0.3 + 0.1 * ((house * 37) % 5) / 4.0;
        if (y < roof)
            return mix(Rgb{150, 190, 230}, Rgb{200, 215, 230}, y * 2);
        const std::array<Rgb, 4> walls{Rgb{180, 80, 60}, Rgb{200, 190, 160}, Rgb{110, 110, 120}, Rgb{220, 200, 90}};
        const double wx = std::fmod(x * 24, 1.0), wy = std::fmod((y - roof) * 16, 1.0);
        const bool window = wx > 0.3 && wx < 0.7 && wy > 0.3 && wy < 0.75 && y < 0.85;
        return window ? Rgb{40, 50, 70} : walls[static_cast<std::size_t>(house % 4)];
    };
}

Painter discs()
{
    return [](double x, double y) {
        Rgb c = mix(Rgb{240, 235, 220}, Rgb{160, 150, 140}, y);
        c = mix(c, Rgb{220, 40, 60}, disc(x, y, 0.3, 0.35, 0.2));
        c = mix(c, Rgb{40, 120, 220}, 0.7 * disc(x, y, 0.6, 0.45, 0.25));
        return mix(c, Rgb{250, 200, 30}, disc(x, y, 0.45, 0.72, 0.15));
    };
}

std::unique_ptr<ConversionState> painted(const Painter& paint, std::uint32_t seed)
{
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    std::mt19937 random(seed);
    std::normal_distribution<double> grain(0.0, 5.0);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            const Rgb c = paint((x + 0.5) / kPictureWidth, (y + 0.5) / kPictureHeight);
            state->red(x, y) = std::clamp(static_cast<int>(std::lround(c[0] + grain(random))), 0, 255);
            state->green(x, y) = std::clamp(static_cast<int>(std::lround(c[1] + grain(random))), 0, 255);
            state->blue(x, y) = std::clamp(static_cast<int>(std::lround(c[2] + grain(random))), 0, 255);
        }
    return state;
}

}  // namespace

std::vector<SyntheticPhoto> syntheticPhotos()
{
    std::vector<SyntheticPhoto> photos;
    auto landscape = std::make_unique<ConversionState>();
    landscape->setStartValues();
    fillPhotoPlanes(*landscape, 1982);
    photos.push_back({"landscape", std::move(landscape)});
    photos.push_back({"sunset", painted(sunset(), 1)});
    photos.push_back({"face", painted(face(), 2)});
    photos.push_back({"leaves", painted(leaves(3), 3)});
    photos.push_back({"sea", painted(sea(4), 4)});
    photos.push_back({"street", painted(street(), 5)});
    photos.push_back({"discs", painted(discs(), 6)});
    return photos;
}
