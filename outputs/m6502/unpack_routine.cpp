#include "outputs/m6502/unpack_routine.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>

const Assembly& unpackRoutine()
{
    static const Assembly routine = [] {
        auto assembled = assemble(unpackListing(), kUnpackOrigin);
        if (!assembled) {
            std::fprintf(stderr, "unpack_zx02.s: %s\n", assembled.failure().message().c_str());
            std::abort();
        }
        return std::move(assembled).value();
    }();
    return routine;
}
