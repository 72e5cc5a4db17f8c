#pragma once

#include "conversion/linear_image.h"
#include "conversion/methods/row_palettes.h"
#include "conversion/settings.h"

// Error diffusion in linear light with a serpentine scan: each pixel's value
// plus the error it received (held within -0.5..1.5 per component) is matched
// to the nearest palette colour in OKLab, and `damping` (0..1) of the
// difference is passed on by the kernel. Gives one logical colour per source
// pixel; the same input always gives the same output. Each row is matched to
// its own palette.
IndexImage diffuseError(const LinearImage& source, const RowPalettes& palette,
                        DiffusionKernel kernel, float damping = 1.0f);
