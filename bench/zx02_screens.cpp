// Packs the screen files named on the command line with both searches and
// prints, for each, the stream's size, the best of three times on this
// core and the states the parse weighed a byte; then the totals, the quick
// search's sizes against the thorough one's, and the most states a byte.
// For bench/zx02_screens.sh.
#include "outputs/compression/zx02.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Packed {
    std::size_t bytes = 0;
    double milliseconds = 0;
    double statesPerByte = 0;
};

Packed pack(const std::vector<std::uint8_t>& screen, Zx02Search search)
{
    Packed packed{0, 1e300, 0};
    for (int run = 0; run < 3; ++run) {
        Zx02Work work;
        const auto started = std::chrono::steady_clock::now();
        const auto stream = zx02Compress(screen, search, &work);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - started;
        packed = {stream.size(), std::min(packed.milliseconds, took.count()),
                  static_cast<double>(work.statesWeighed) / static_cast<double>(screen.size())};
    }
    return packed;
}

struct Totals {
    std::size_t bytes = 0;
    double slowest = 0;
    double mostStates = 0;
    void add(const Packed& packed)
    {
        bytes += packed.bytes;
        slowest = std::max(slowest, packed.milliseconds);
        mostStates = std::max(mostStates, packed.statesPerByte);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    Totals quick;
    Totals thorough;
    double worstShare = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        const std::vector<std::uint8_t> screen{std::istreambuf_iterator<char>(file), {}};
        if (!file || screen.empty()) {
            std::fprintf(stderr, "%s: not a readable, non-empty file\n", argv[i]);
            return 1;
        }
        const Packed fast = pack(screen, Zx02Search::Quick);
        const Packed slow = pack(screen, Zx02Search::Thorough);
        const double share = (static_cast<double>(fast.bytes) / static_cast<double>(slow.bytes) - 1) * 100;
        worstShare = std::max(worstShare, share);
        quick.add(fast);
        thorough.add(slow);
        std::printf("%-24s quick %6zu bytes %6.1f ms %6.0f states a byte   thorough %6zu bytes %7.1f ms %6.0f states a byte"
                    "   %+.2f %%\n",
                    argv[i], fast.bytes, fast.milliseconds, fast.statesPerByte, slow.bytes, slow.milliseconds,
                    slow.statesPerByte, share);
    }
    std::printf("all: quick %zu bytes (slowest %.1f ms, at most %.0f states a byte), thorough %zu bytes "
                "(slowest %.0f ms, at most %.0f states a byte): %+.3f %%, worst screen %+.2f %%\n",
                quick.bytes, quick.slowest, quick.mostStates, thorough.bytes, thorough.slowest, thorough.mostStates,
                (static_cast<double>(quick.bytes) / static_cast<double>(thorough.bytes) - 1) * 100, worstShare);
}
