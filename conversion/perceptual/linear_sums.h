#pragma once

#include "conversion/linear_image.h"

// Linear-light colours added, taken apart and weighted component by
// component, as the searches sum blurred changes. Each is the plain float
// operation on each component, so that sums give the same bits wherever
// they are written.
inline LinearRgb operator+(const LinearRgb& a, const LinearRgb& b)
{
    return LinearRgb{a.r + b.r, a.g + b.g, a.b + b.b};
}

inline LinearRgb operator-(const LinearRgb& a, const LinearRgb& b)
{
    return LinearRgb{a.r - b.r, a.g - b.g, a.b - b.b};
}

inline LinearRgb operator-(const LinearRgb& c)
{
    return LinearRgb{-c.r, -c.g, -c.b};
}

inline LinearRgb operator*(float w, const LinearRgb& c)
{
    return LinearRgb{w * c.r, w * c.g, w * c.b};
}
