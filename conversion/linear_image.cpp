#include "conversion/linear_image.h"

#include <algorithm>

namespace {

// For one axis: the source pixels each target pixel covers and their shares.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Span> spans(int sourceSize, int targetSize)
{
    std::vector<Span> result(static_cast<std::size_t>(targetSize));
    const double scale = static_cast<double>(sourceSize) / targetSize;
    for (int t = 0; t < targetSize; ++t) {
        const double from = t * scale, to = (t + 1) * scale;
        Span& span = result[static_cast<std::size_t>(t)];
        span.first = static_cast<int>(from);
        for (int s = span.first; s < sourceSize && s < to; ++s) {
            const double covered = std::min<double>(s + 1, to) - std::max<double>(s, from);
            span.weights.push_back(static_cast<float>(covered / scale));
        }
    }
    return result;
}

}  // namespace

LinearImage areaAverage(const LinearImage& source, int width, int height)
{
    const std::vector<Span> columns = spans(source.width, width);
    const std::vector<Span> rows = spans(source.height, height);
    // Columns first, into an intermediate of the target's width.
    LinearImage narrow(width, source.height);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < width; ++x) {
            const Span& span = columns[static_cast<std::size_t>(x)];
            LinearRgb sum;
            for (std::size_t i = 0; i < span.weights.size(); ++i) {
                const LinearRgb& p = source.at(span.first + static_cast<int>(i), y);
                sum.r += span.weights[i] * p.r;
                sum.g += span.weights[i] * p.g;
                sum.b += span.weights[i] * p.b;
            }
            narrow.at(x, y) = sum;
        }
    LinearImage result(width, height);
    for (int y = 0; y < height; ++y) {
        const Span& span = rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            LinearRgb sum;
            for (std::size_t i = 0; i < span.weights.size(); ++i) {
                const LinearRgb& p = narrow.at(x, span.first + static_cast<int>(i));
                sum.r += span.weights[i] * p.r;
                sum.g += span.weights[i] * p.g;
                sum.b += span.weights[i] * p.b;
            }
            result.at(x, y) = sum;
        }
    }
    return result;
}
