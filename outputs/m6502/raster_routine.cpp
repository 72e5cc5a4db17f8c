#include "outputs/m6502/raster_routine.h"

#include <cstdio>
#include <cstdlib>

const Assembly& rasterRoutine()
{
    static const Assembly routine = [] {
        auto assembled = assemble(rasterListing(), kRasterOrigin);
        if (!assembled) {
            std::fprintf(stderr, "raster_show.s: %s\n", assembled.failure().message().c_str());
            std::abort();
        }
        return std::move(assembled).value();
    }();
    return routine;
}
