// Fuzzes the ZX02 decoder with arbitrary streams: it must refuse or unpack
// within its limit, never read or write out of bounds. Whatever it unpacks,
// and the input itself taken as data, our compressor must pack into a
// stream that unpacks to the same bytes: with the quick search and, on data
// short enough for it to keep up the fuzzer's pace, the thorough one.
#include "outputs/compression/zx02.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

constexpr std::size_t kLimit = 20480;  // a screen of modes 0, 1 and 2
constexpr std::size_t kThoroughLimit = 2048;

void requireRoundTrip(std::span<const std::uint8_t> data)
{
    for (const Zx02Search search : {Zx02Search::Quick, Zx02Search::Thorough}) {
        if (search == Zx02Search::Thorough && data.size() > kThoroughLimit)
            break;
        const auto again = zx02Decompress(zx02Compress(data, search), data.size());
        if (!again || !std::equal(again->begin(), again->end(), data.begin(), data.end()))
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0)
        requireRoundTrip({data, size});
    const auto unpacked = zx02Decompress({data, size}, kLimit);
    if (!unpacked || unpacked->empty())
        return 0;
    if (unpacked->size() > kLimit)
        std::abort();
    requireRoundTrip(*unpacked);
    return 0;
}
