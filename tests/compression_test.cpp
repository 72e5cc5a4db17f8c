// ZX02: the bit stream against worked examples, our compressor against our
// decoder on every mode's screens and on hostile data, its parse against
// an exhaustive one on short data, and the decoder's refusal of broken
// streams.
#include "tests/engine_steps.h"
#include "conversion/option_catalogue.h"
#include "conversion/classic/conversion_pass.h"
#include "conversion/entry/picture_conversion.h"
#include "conversion/teletext/teletext_conversion.h"
#include "outputs/compression/zx02.h"
#include "outputs/compression/zx02_codes.h"
#include "outputs/compression/zx02_match_lengths.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

void expectRoundTrip(const Bytes& data, const std::string& what)
{
    const Bytes stream = zx02Compress(data);
    const auto unpacked = zx02Decompress(stream, data.size());
    ASSERT_TRUE(unpacked.has_value()) << what;
    EXPECT_TRUE(*unpacked == data) << what;
}

// Four 'A's: a literal run of one ('0' for its length, no flag before the
// first run), a copy of three from the initial offset 1 (flag '0', '110'),
// then the end: flag '1' and the code of 256 ('10' eight times, '0'). The
// bits fill bit bytes placed where their first bit falls: 00110110 before
// the literal, then 10101010 and 101010(00).
TEST(Zx02, RepeatedByteIsOneLiteralAndACopyFromTheFirstOffset)
{
    EXPECT_EQ(zx02Compress(Bytes{'A', 'A', 'A', 'A'}), (Bytes{0x36, 'A', 0xAA, 0xA8}));
}

// "ABABABAB": a literal run of two ('100'), then a copy of six from the new
// offset 2 (flag '1', high part code '0', the byte (2-1)<<1 whose bit 0
// carries the first bit of the code of 5, '1', its other bits '0110'), then
// the end marker.
TEST(Zx02, NewOffsetCarriesItsLengthsFirstBitInItsLowByte)
{
    const Bytes data{'A', 'B', 'A', 'B', 'A', 'B', 'A', 'B'};
    EXPECT_EQ(zx02Compress(data), (Bytes{0x93, 'A', 'B', 0x03, 0x6A, 0xAA, 0x80}));
    EXPECT_EQ(zx02Decompress(Bytes{0x93, 'A', 'B', 0x03, 0x6A, 0xAA, 0x80}, 8), data);
}

// Every bitmap mode with every half-tone, mode 7, and the linear-light
// methods, on random colours and on smooth fields.
TEST(Zx02, ScreensOfEveryModeAndMethodComeBackWhole)
{
    for (const int mode : {0, 1, 2, 4, 5})
        for (const Halftone halftone :
             {Halftone::None, Halftone::Fine, Halftone::Coarse, Halftone::Spiral, Halftone::Diagonal}) {
            auto state = startState();
            fillRandomPlanes(*state, static_cast<std::uint32_t>(mode * 10 + static_cast<int>(halftone)));
            state->curmode = mode;
            state->htone = static_cast<int>(halftone);
            BufferSurface preview(kPictureWidth, kPictureHeight);
            expectRoundTrip(convertScreen(*state, preview).bytes(), "mode " + std::to_string(mode));
        }
    auto state = startState();
    fillRandomPlanes(*state, 7);
    BufferSurface preview(kPictureWidth, kPictureHeight);
    expectRoundTrip(convertTeletext(*state, preview).bytes(), "mode 7");

    LinearImage fields(640, 256);
    for (int y = 0; y < fields.height; ++y)
        for (int x = 0; x < fields.width; ++x)
            fields.at(x, y) = LinearRgb{x / 640.0f, y / 256.0f, ((x / 80 + y / 64) % 2) * 0.7f};
    for (const Method method : kAllMethods) {
        if (method == Method::Dbs)
            continue;  // slow, and a screen like the others
        for (const int mode : {1, 2}) {
            Settings settings;
            settings.mode = mode;
            settings.method = method;
            auto methodState = startState();
            BufferSurface methodPreview(kPictureWidth, kPictureHeight);
            const Conversion conversion = convertWithSettings(settings, *methodState, fields, methodPreview);
            expectRoundTrip(conversion.bytes(), std::string(methodName(method)) + " mode " + std::to_string(mode));
        }
    }
}

// The thorough search weighs every offset the quick one leaves out, so its
// stream is never larger; on full screens it is smaller now and then. Plain
// bytes with sparse specks match at thousands of offsets at once, so the
// parse makes millions of states there and drops those left behind.
TEST(Zx02, ThoroughSearchIsNeverLargerThanTheQuickOne)
{
    std::mt19937 random(1);
    Bytes specks(6144);
    for (auto& byte : specks)
        byte = random() % 16 == 0 ? static_cast<std::uint8_t>(random() % 4) : 0;
    Zx02Work quickWork, thoroughWork;
    const Bytes thoroughSpecks = zx02Compress(specks, Zx02Search::Thorough, &thoroughWork);
    EXPECT_LE(thoroughSpecks.size(), zx02Compress(specks, Zx02Search::Quick, &quickWork).size());
    // Specks on a plain ground match at thousands of offsets at once: the
    // thorough search weighs them all, the quick one's limits keep it to a
    // few dozen states a byte, which is what keeps it fast.
    EXPECT_LE(quickWork.statesWeighed, 40 * specks.size());
    EXPECT_GE(thoroughWork.statesWeighed, 1000 * specks.size());
    EXPECT_EQ(zx02Decompress(thoroughSpecks, specks.size()), std::optional<Bytes>(specks));

    LinearImage fields(640, 256);
    for (int y = 0; y < fields.height; ++y)
        for (int x = 0; x < fields.width; ++x)
            fields.at(x, y) = LinearRgb{x / 640.0f, y / 256.0f, ((x / 80 + y / 64) % 2) * 0.7f};
    std::size_t quickBytes = 0, thoroughBytes = 0;
    for (const Method method : {Method::Classic, Method::BlueNoise}) {
        Settings settings;
        settings.mode = 2;
        settings.method = method;
        settings.halftone = Halftone::Fine;
        auto state = startState();
        BufferSurface preview(kPictureWidth, kPictureHeight);
        const Bytes screen = convertWithSettings(settings, *state, fields, preview).bytes();
        const Bytes quick = zx02Compress(screen);
        const Bytes thorough = zx02Compress(screen, Zx02Search::Thorough);
        EXPECT_LE(thorough.size(), quick.size()) << methodName(method);
        EXPECT_EQ(zx02Decompress(thorough, screen.size()), std::optional<Bytes>(screen)) << methodName(method);
        quickBytes += quick.size();
        thoroughBytes += thorough.size();
    }
    EXPECT_LT(thoroughBytes, quickBytes);
    // Offsets rejoined to their earlier short matches keep the quick
    // search within 0.05 % of it here; taking offsets up only where their
    // match ends leaves it 9 bytes over.
    EXPECT_LE(quickBytes, thoroughBytes + thoroughBytes / 2000);
}

TEST(Zx02, HostileDataComesBackWholeAndGrowsLittle)
{
    std::mt19937 random(5);
    Bytes noise(20480);
    for (auto& byte : noise)
        byte = static_cast<std::uint8_t>(random());
    Bytes pairs(20480);
    for (std::size_t i = 0; i < pairs.size(); ++i)
        pairs[i] = i % 2 ? 0x34 : 0x12;
    const std::vector<std::pair<std::string, Bytes>> cases{
        {"random", noise}, {"all zero", Bytes(20480, 0)}, {"one byte", Bytes{0x7F}},
        {"a repeated byte pair", pairs}, {"two bytes", Bytes{1, 2}}};
    for (const auto& [what, data] : cases)
        expectRoundTrip(data, what);
    // A run of 256 literals costs 17 bits of length and one copy between
    // runs; a copy of 256 from offset 1 or 2 takes 24 bits, and after a copy
    // only a new offset (or a literal) may follow.
    EXPECT_LE(zx02Compress(noise).size(), noise.size() + noise.size() / 100);
    EXPECT_LE(zx02Compress(Bytes(20480, 0)).size(), 20480u / 256 * 3 + 6);
    EXPECT_LE(zx02Compress(pairs).size(), 20480u / 256 * 3 + 6);
}

// Past the farthest offset the parse no longer looks: a repeat exactly
// that far back packs to a few bytes, one a byte further stays literals.
TEST(Zx02, CopiesReachTheFarthestOffsetAndNoFurther)
{
    std::mt19937 random(32640);
    for (const int distance : {zx02::kMaxOffset, zx02::kMaxOffset + 1}) {
        Bytes data(static_cast<std::size_t>(distance));
        for (auto& byte : data)
            byte = static_cast<std::uint8_t>(random());
        data.insert(data.end(), data.begin(), data.begin() + 1024);
        const Bytes stream = zx02Compress(data);
        EXPECT_EQ(zx02Decompress(stream, data.size()), std::optional<Bytes>(data)) << distance;
        const std::size_t unpacked = distance == zx02::kMaxOffset ? 16 : 1024;
        EXPECT_GE(stream.size(), data.size() - 1024 + unpacked) << distance;
        EXPECT_LE(stream.size(), data.size() - 1024 + unpacked + data.size() / 100) << distance;
    }
}

// The fewest bits of any parse of `data`, end marker aside, from every
// state after every block: position, last offset, after literals or not.
int fewestBits(const Bytes& data)
{
    using zx02::eliasBits;
    const int size = static_cast<int>(data.size());
    std::vector<int> bits(static_cast<std::size_t>((size + 1) * (size + 1) * 2), INT_MAX);
    const auto state = [&](int at, int offset, int afterLiterals) -> int& {
        return bits[static_cast<std::size_t>((at * (size + 1) + offset) * 2 + afterLiterals)];
    };
    const auto offer = [&](int at, int offset, int afterLiterals, int cost) {
        state(at, offset, afterLiterals) = std::min(state(at, offset, afterLiterals), cost);
    };
    const auto matches = [&](int at, int offset) { return at >= offset && data[at] == data[at - offset]; };
    state(0, 1, 0) = -1;  // the first literal run has no flag
    for (int at = 0; at < size; ++at)
        for (int last = 1; last <= size; ++last)
            for (int afterLiterals = 0; afterLiterals < 2; ++afterLiterals) {
                const int cost = state(at, last, afterLiterals);
                if (cost == INT_MAX)
                    continue;
                for (int length = 1; at + length <= size; ++length)
                    if (!afterLiterals)
                        offer(at + length, last, 1, cost + 1 + eliasBits(length) + 8 * length);
                for (int length = 1; afterLiterals && at + length <= size && matches(at + length - 1, last); ++length)
                    offer(at + length, last, 0, cost + 1 + eliasBits(length));
                for (int offset = 1; offset <= at; ++offset)
                    for (int length = 1; at + length <= size && matches(at + length - 1, offset); ++length)
                        offer(at + length, offset, 0, cost + zx02::newCopyBits(offset, length));
            }
    int fewest = INT_MAX;
    for (int last = 1; last <= size; ++last)
        fewest = std::min({fewest, state(size, last, 0), state(size, last, 1)});
    return fewest;
}

// On data short enough for every parse to be tried (and for the parse's
// limits on offsets followed not to matter), its streams are the smallest.
TEST(Zx02, ParseIsAsShortAsAnyOnShortData)
{
    std::mt19937 random(1982);
    for (int round = 0; round < 400; ++round) {
        Bytes data(1 + random() % 40);
        const auto symbols = 2 + random() % 3;
        for (auto& byte : data)
            byte = static_cast<std::uint8_t>('a' + random() % symbols);
        const auto fewestBytes = static_cast<std::size_t>((fewestBits(data) + zx02::kEndMarkerBits + 7) / 8);
        EXPECT_EQ(zx02Compress(data).size(), fewestBytes) << std::string(data.begin(), data.end());
    }
}

// Copies that pay off long after their offset was first used: runs of
// six bytes from one offset with two new bytes between them, at a new
// offset every few runs, after random bytes, so that hundreds of offsets
// wait between matches at once. The parse is never larger than the one
// the data was made from: each offset's first run a new copy, the others
// copies from the last offset after the two literals.
TEST(Zx02, OffsetsResumedAfterLiteralsAreNotLost)
{
    using zx02::eliasBits;
    std::mt19937 random(64);
    Bytes data(4096);
    for (auto& byte : data)
        byte = static_cast<std::uint8_t>(random());
    int bits = -1 + static_cast<int>(data.size() / 256) * (1 + eliasBits(256) + 8 * 256);
    while (data.size() < 20000) {
        const auto offset = static_cast<std::size_t>(1 + random() % std::min<std::size_t>(data.size(), zx02::kMaxOffset));
        for (int run = 0; run < 5; ++run) {
            for (int i = 0; i < 6; ++i)
                data.push_back(data[data.size() - offset]);
            for (int i = 0; i < 2; ++i)
                data.push_back(static_cast<std::uint8_t>(random()));
            bits += (run == 0 ? zx02::newCopyBits(static_cast<int>(offset), 6) : 1 + eliasBits(6)) + 1 + eliasBits(2) + 16;
        }
    }
    const Bytes stream = zx02Compress(data);
    EXPECT_LE(stream.size(), static_cast<std::size_t>((bits + zx02::kEndMarkerBits + 7) / 8));
    EXPECT_EQ(zx02Decompress(stream, data.size()), std::optional<Bytes>(data));
}

// The match counts the parse searches, against a count made afresh by
// hand at every byte: on data with short random matches, a stretch long
// enough for lengths to stop at 255, offsets of five lengths of offset
// code and a last block cut short at most positions.
TEST(Zx02, MatchLengthsAgreeWithACountMadeAfresh)
{
    std::mt19937 random(1982);
    Bytes data(2500);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i >= 700 && i < 1100 ? i % 3 : random() % 3);
    constexpr int kBlock = zx02::MatchLengths::kBlock;
    zx02::MatchLengths matches(data);
    std::vector<std::uint8_t> skip(zx02::kMaxOffset + 1, 0);
    for (int at = 1; at <= static_cast<int>(data.size()); ++at) {
        matches.count(at);
        const int offsets = at - 1;
        std::vector<int> run(static_cast<std::size_t>(offsets) + 1, 0);
        std::vector<int> ending(run.size(), 0);
        for (int offset = 1; offset <= offsets; ++offset) {
            int& length = run[static_cast<std::size_t>(offset)];
            while (length < 255 && at - 1 - length - offset >= 0 && data[at - 1 - length] == data[at - 1 - length - offset])
                ++length;
            const bool goesOn = at < static_cast<int>(data.size()) && data[at] == data[at - offset];
            ending[static_cast<std::size_t>(offset)] = goesOn ? 0 : length;
            ASSERT_EQ(matches.ending(offset), ending[static_cast<std::size_t>(offset)]) << at << " " << offset;
        }
        std::vector<int> blockEnding;
        for (int base = 1; base <= offsets; base += kBlock) {
            const auto first = ending.begin() + base;
            blockEnding.push_back(*std::max_element(first, first + std::min(kBlock, offsets + 1 - base)));
            const int block = static_cast<int>(blockEnding.size()) - 1;
            ASSERT_EQ(matches.longestEnding(block), blockEnding.back()) << at;
            const int shortest = 1 + at % 4;
            skip[static_cast<std::size_t>(base + at % kBlock)] = 1;
            std::uint64_t hits = 0;
            for (int i = 0; i < kBlock && base + i <= offsets; ++i)
                if (ending[static_cast<std::size_t>(base + i)] >= shortest && !skip[static_cast<std::size_t>(base + i)])
                    hits |= std::uint64_t{1} << i;
            ASSERT_EQ(matches.endingAtLeast(block, shortest, skip.data()), hits) << at;
            skip[static_cast<std::size_t>(base + at % kBlock)] = 0;
        }
        std::sort(blockEnding.rbegin(), blockEnding.rend());
        for (const int many : {1, 6, 8})
            ASSERT_EQ(matches.longestEndingInMany(many), many <= static_cast<int>(blockEnding.size()) ? blockEnding[many - 1] : 0) << at;
        for (int first = 1, last = 128; first <= offsets; first = last + 1, last = 2 * last + 128) {
            const int end = std::min(last, offsets);
            const auto longest = std::max_element(run.begin() + first, run.begin() + end + 1);
            const std::pair<int, int> expected{*longest > 0 ? static_cast<int>(longest - run.begin()) : 0, *longest};
            ASSERT_EQ(matches.nearestLongest(first, end), expected) << at << " " << first;
        }
    }
}

// Each of the machine's vector counts, against the plain loop, over many
// positions of data with runs of every length up to where they stop at 255.
TEST(Zx02, VectorMatchCountsAgreeWithThePlainLoop)
{
    constexpr std::size_t kBlocks = 40;  // two whole sixteens and a short one
    constexpr std::size_t kOffsets = kBlocks * zx02::MatchLengths::kBlock;
    std::mt19937 random(6502);
    Bytes before(kOffsets + 1);
    using Count = void (*)(const std::uint8_t*, std::uint8_t*, std::uint8_t*, std::uint8_t*, std::size_t, std::uint8_t, std::uint8_t);
    std::vector<Count> counts{zx02::detail::countWholeBlocks};
#if defined(RASTERINE_ZX02_AVX2)
    if (zx02::detail::hasAvx2())
        counts.push_back(zx02::detail::countWholeBlocksAvx2);
#endif
    for (const Count count : counts) {
        Bytes runs(kOffsets, 0);
        Bytes expectedRuns(kOffsets, 0);
        for (int step = 0; step < 300; ++step) {
            // The first two blocks' offsets always match, so their runs reach 255.
            for (std::size_t i = 0; i < before.size(); ++i)
                before[i] = static_cast<std::uint8_t>(i > 2 * zx02::MatchLengths::kBlock && random() % 8 == 0);
            std::array<std::uint8_t, kBlocks> blockRun{}, blockEnding{}, expectedRun{}, expectedEnding{};
            count(before.data() + 1, runs.data(), blockRun.data(), blockEnding.data(), kBlocks, 0, 1);
            zx02::detail::countBlocks<zx02::MatchLengths::kBlock>(before.data() + 1, expectedRuns.data(), expectedRun.data(),
                                                                  expectedEnding.data(), kBlocks, 0, 1);
            ASSERT_EQ(runs, expectedRuns) << step;
            ASSERT_EQ(blockRun, expectedRun) << step;
            ASSERT_EQ(blockEnding, expectedEnding) << step;
        }
    }
}

TEST(Zx02, DecoderRefusesBrokenStreams)
{
    Bytes data(3000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>((i * i) % 251 % 7);
    const Bytes stream = zx02Compress(data);
    for (std::size_t cut = 0; cut < stream.size(); ++cut)
        EXPECT_FALSE(zx02Decompress(Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(cut)),
                                    data.size()))
            << "cut at " << cut;
    Bytes longer = stream;
    longer.push_back(0);
    EXPECT_FALSE(zx02Decompress(longer, data.size())) << "a byte after the end marker";
    EXPECT_FALSE(zx02Decompress(stream, data.size() - 1)) << "more than allowed";
    // A first literal then a new offset of 2 with nothing behind it but one byte.
    EXPECT_FALSE(zx02Decompress(Bytes{0x10, 'A', 0x02, 0x00, 0x00}, 100)) << "a copy from before the start";
}

}  // namespace
