#include "outputs/show_time.h"

#include "outputs/dfs_image.h"

std::uint64_t fileReadCycles(std::size_t sectors, int firstInTrack)
{
    if (sectors == 0)
        return 0;
    const std::size_t nextTracks = (static_cast<std::size_t>(firstInTrack) + sectors - 1) / kDfsSectorsPerTrack;
    return sectors * kSectorCycles + nextTracks * kNextTrackCycles;
}

std::uint64_t unpackWallCycles(std::uint64_t routineCycles)
{
    return routineCycles + routineCycles * 6 / 100;
}

bool packedIsSooner(std::size_t screenBytes, std::size_t packedBytes, std::uint64_t routineCycles, bool routineInMemory)
{
    const std::uint64_t unpacking = (routineInMemory ? 0 : kRoutineLoadCycles) + unpackWallCycles(routineCycles);
    const auto packedSectors = static_cast<std::size_t>(dfsSectors(packedBytes));
    const auto screenSectors = static_cast<std::size_t>(dfsSectors(screenBytes));
    for (int first = 0; first < kDfsSectorsPerTrack; ++first)
        if (fileReadCycles(packedSectors, first) + unpacking >= fileReadCycles(screenSectors, first))
            return false;
    return true;
}
