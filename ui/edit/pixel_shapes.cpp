#include "ui/edit/pixel_shapes.h"

#include <algorithm>
#include <cstdlib>

std::vector<ScreenPoint> linePixels(ScreenPoint from, ScreenPoint to)
{
    const int dx = std::abs(to.x - from.x), dy = -std::abs(to.y - from.y);
    const int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
    std::vector<ScreenPoint> points;
    points.reserve(static_cast<std::size_t>(std::max(dx, -dy) + 1));
    int error = dx + dy;
    for (ScreenPoint at = from;;) {
        points.push_back(at);
        if (at == to)
            return points;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            at.x += sx;
        }
        if (twice <= dx) {
            error += dx;
            at.y += sy;
        }
    }
}

std::vector<ScreenPoint> rectanglePixels(ScreenPoint a, ScreenPoint b)
{
    const int left = std::min(a.x, b.x), right = std::max(a.x, b.x);
    const int top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
    std::vector<ScreenPoint> points;
    for (int x = left; x <= right; ++x) {
        points.push_back({x, top});
        if (bottom != top)
            points.push_back({x, bottom});
    }
    for (int y = top + 1; y < bottom; ++y) {
        points.push_back({left, y});
        if (right != left)
            points.push_back({right, y});
    }
    return points;
}

bool onScreen(const Screen& screen, ScreenPoint point)
{
    return !screen.isTeletext() && point.x >= 0 && point.x < screen.width() && point.y >= 0 &&
           point.y < kScreenLines;
}

// Span by span: each run of the colour along a line is taken whole, and
// the lines above and below it are searched for runs that touch it.
std::vector<ScreenPoint> floodPixels(const Screen& screen, ScreenPoint start)
{
    if (!onScreen(screen, start))
        return {};
    const int width = screen.width();
    const std::uint8_t colour = screen.at(start.x, start.y);
    std::vector<bool> taken(static_cast<std::size_t>(width) * kScreenLines, false);
    const auto free = [&](int x, int y) {
        return !taken[static_cast<std::size_t>(y * width + x)] && screen.at(x, y) == colour;
    };
    std::vector<ScreenPoint> points, seeds{start};
    while (!seeds.empty()) {
        const ScreenPoint seed = seeds.back();
        seeds.pop_back();
        if (!free(seed.x, seed.y))
            continue;
        int left = seed.x, right = seed.x;
        while (left > 0 && free(left - 1, seed.y))
            --left;
        while (right + 1 < width && free(right + 1, seed.y))
            ++right;
        for (int x = left; x <= right; ++x) {
            taken[static_cast<std::size_t>(seed.y * width + x)] = true;
            points.push_back({x, seed.y});
        }
        for (const int y : {seed.y - 1, seed.y + 1}) {
            if (y < 0 || y >= kScreenLines)
                continue;
            for (int x = left; x <= right; ++x)
                if (free(x, y) && (x == left || !free(x - 1, y)))
                    seeds.push_back({x, y});
        }
    }
    return points;
}
