#pragma once

#include "conversion/linear_image.h"

#include <QImage>

// The picture's pixels in linear light, at its own size.
LinearImage linearPicture(const QImage& picture);
