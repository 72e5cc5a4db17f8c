#include "conversion/methods/method_run.h"

#include "conversion/methods/binary_search.h"
#include "conversion/methods/error_diffusion.h"
#include "conversion/methods/ordered_dither.h"

#include <cassert>

IndexImage runMethod(Method method, const LinearImage& source, const MethodPalette& palette, float damping,
                     int scaleX, int scaleY, const ProgressReport& progress)
{
    switch (method) {
    case Method::FloydSteinberg: return diffuseError(source, palette, DiffusionKernel::FloydSteinberg, damping);
    case Method::Atkinson: return diffuseError(source, palette, DiffusionKernel::Atkinson, damping);
    case Method::SierraLite: return diffuseError(source, palette, DiffusionKernel::SierraLite, damping);
    case Method::Jarvis: return diffuseError(source, palette, DiffusionKernel::Jarvis, damping);
    case Method::Stucki: return diffuseError(source, palette, DiffusionKernel::Stucki, damping);
    case Method::Bayer: return orderedDither(source, palette, bayerMap());
    case Method::BlueNoise: return orderedDither(source, palette, blueNoiseMap());
    case Method::Dbs:
        return directBinarySearch(source, palette, diffuseError(source, palette, DiffusionKernel::FloydSteinberg),
                                  scaleX, scaleY, progress);
    case Method::Classic: break;
    }
    assert(!"the classic method runs on the planes");
    return IndexImage(source.width, source.height);
}
