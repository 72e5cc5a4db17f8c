// Screens whose palette changes line by line as bytes: FILE.raster read
// back gives the palette schedule it was made from, malformed files are
// refused with a reason, the raster routine's data replays every line's
// palette, and the file set carries FILE.raster only when it is needed.
#include "conversion/nula/nula_screen.h"
#include "conversion/raster_budget.h"
#include "outputs/boot_discs.h"
#include "outputs/m6502/raster_routine.h"
#include "outputs/nula_setup.h"
#include "outputs/raster_file.h"
#include "outputs/raster_program.h"
#include "outputs/screen_files.h"
#include "outputs/side_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>

namespace {

// A screen of `modeNumber` whose palette changes before most lines by as
// many colours as the budget allows (or by `extra` more).
Screen rasterScreen(int modeNumber, bool nula, unsigned seed, int extra = 0)
{
    const ScreenMode& mode = *findScreenMode(modeNumber);
    std::mt19937 random(seed);
    const auto colour = [&random] {
        return NulaColour{static_cast<std::uint8_t>(random() % 16), static_cast<std::uint8_t>(random() % 16),
                          static_cast<std::uint8_t>(random() % 16)};
    };
    Screen screen(mode);
    if (nula) {
        NulaTable colours{};
        for (int i = 0; i < 1 << mode.bitsPerPixel(); ++i)
            colours[static_cast<std::size_t>(i)] = colour();
        screen = nulaImageOf(mode, std::vector<std::uint8_t>(screen.pixels.size(), 0), colours);
    }
    const RasterBudget budget = rasterBudget(mode);
    const int count = (nula ? budget.nulaColours : budget.standardColours) + extra;
    for (int line = 1; line < kScreenLines; line += 1 + static_cast<int>(random() % 3)) {
        LinePalette next = screen.palettes.back();
        next.firstLine = line;
        std::vector<std::size_t> order(static_cast<std::size_t>(screen.logicalColours()));
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), random);
        for (int i = 0; i < count; ++i) {
            const std::size_t logical = order[static_cast<std::size_t>(i)];
            if (nula) {
                const NulaColour old = (*next.nula)[logical];
                while ((*next.nula)[logical] == old)
                    (*next.nula)[logical] = colour();
                if (logical < next.physical.size())
                    next.physical[logical] = nearestStandardColour((*next.nula)[logical]);
            } else {
                const std::uint8_t old = next.physical[logical];
                while (next.physical[logical] == old)
                    next.physical[logical] = static_cast<std::uint8_t>(random() % 8);
            }
        }
        screen.palettes.push_back(next);
    }
    return screen;
}

struct RasterKind {
    int mode;
    bool nula;
};

const std::vector<RasterKind> kRasterKinds{{0, false}, {1, false}, {4, false}, {5, false}, {0, true},
                                           {1, true},  {2, true},  {4, true},  {5, true}};

TEST(RasterFile, ReadsBackThePaletteScheduleOfEveryKindOfRasterScreen)
{
    for (const RasterKind& kind : kRasterKinds) {
        SCOPED_TRACE("mode " + std::to_string(kind.mode) + (kind.nula ? " NuLA" : ""));
        const Screen screen = rasterScreen(kind.mode, kind.nula, 40u + static_cast<unsigned>(kind.mode));
        ASSERT_TRUE(fitsRasterBudget(screen));
        const auto palettes = readRasterFile(*screen.mode, rasterFileBytes(screen));
        ASSERT_TRUE(palettes.ok()) << palettes.failure().message();
        EXPECT_EQ(palettes.value(), screen.palettes);
    }
}

// The routine's data, replayed as the routine writes it (line 0's 32
// bytes, then each line's 8), leaves the register as each line's palette
// sets it.
TEST(RasterProgram, ReplaysEveryLinesPalette)
{
    for (const RasterKind& kind : kRasterKinds) {
        SCOPED_TRACE("mode " + std::to_string(kind.mode) + (kind.nula ? " NuLA" : ""));
        const Screen screen = rasterScreen(kind.mode, kind.nula, 70u + static_cast<unsigned>(kind.mode));
        const auto data = rasterProgramData(screen);
        ASSERT_TRUE(data.ok()) << data.failure().message();
        ASSERT_EQ(data.value().size(), kRasterDataBytes);
        EXPECT_EQ(data.value()[0], kind.nula ? kNulaPaletteRegister : kUlaPaletteRegister);
        // The register as written so far, one record of every entry's bytes.
        std::vector<std::uint8_t> written(data.value().begin() + 0x20, data.value().begin() + 0x40);  // &27A0
        for (int line = 0; line < kScreenLines; ++line) {
            if (line > 0) {
                written.clear();
                for (std::size_t slot = 0; slot < 8; ++slot)
                    written.push_back(data.value()[kRasterDataHeaderBytes + 0x100 * slot + static_cast<std::size_t>(line)]);
            }
            for (std::size_t i = 0; i < written.size(); i += kind.nula ? 2 : 1) {
                const int entry = written[i] >> 4;
                const auto expected = entryBytes(screen, screen.paletteAt(line), entry);
                ASSERT_TRUE(std::equal(expected.begin(), expected.end(), written.begin() + static_cast<std::ptrdiff_t>(i)))
                    << "line " << line << " writes entry " << entry << " in another colour";
            }
        }
    }
}

TEST(RasterProgram, RefusesChangesTheBlankingHasNoTimeFor)
{
    const Screen screen = rasterScreen(2, true, 3, 1);  // five NuLA colours: 10 writes
    const auto data = rasterProgramData(screen);
    ASSERT_FALSE(data.ok());
    EXPECT_NE(data.failure().reason.find("10 writes, more than the 8"), std::string::npos) << data.failure().message();
    Conversion conversion;
    conversion.screen = screen;
    const auto disc = bootDisc(conversion, 80, false);
    ASSERT_FALSE(disc.ok());
    EXPECT_EQ(disc.failure().reason, data.failure().reason);
}

// The routine's timed part lies in its first page, where no branch costs a
// cycle more for crossing a page, and the routine ends below its data.
TEST(RasterRoutine, TimedPartInOnePageCodeBelowItsData)
{
    const Assembly& routine = rasterRoutine();
    EXPECT_EQ(routine.origin, kRasterOrigin);
    EXPECT_LE(routine.address("timed_end"), kRasterOrigin + 0x100);
    EXPECT_LE(routine.origin + routine.bytes.size(), kRasterDataOrigin);
}

struct Malformed {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> spoil;
    const char* reason;
};

TEST(RasterFile, RefusesMalformedFilesSayingWhy)
{
    const Screen stock = rasterScreen(1, false, 5);
    const Screen nula = rasterScreen(2, true, 5);
    const std::size_t firstRecord = kRasterHeaderBytes;
    const std::vector<Malformed> cases{
        {"empty", [](auto& b) { b.clear(); }, "is not a raster file (no RAST header)"},
        {"magic", [](auto& b) { b[0] = 'X'; }, "is not a raster file (no RAST header)"},
        {"version", [](auto& b) { b[4] = 3; }, "has version 3, neither 1 nor 2"},
        {"version 2 for standard colours", [](auto& b) { b[4] = 2; }, "has version 2, which is for VideoNuLA"},
        {"mode", [](auto& b) { b[5] = 4; }, "is for mode 4, not mode 1"},
        {"register", [](auto& b) { b[6] = 0x22; }, "names register &FE22, neither &FE21 nor &FE23"},
        {"truncated", [](auto& b) { b.resize(b.size() - 3); }, "runs past the end"},
        {"trailing", [](auto& b) { b.push_back(0); }, "has 1 bytes after its last record"},
        {"first line", [=](auto& b) { b[firstRecord] = 1; }, "record 1 is for line 1, not line 0"},
        {"line order", [=](auto& b) { b[firstRecord + 18] = 0; }, "record 2 is for line 0, not after the line before"},
        {"flashing", [=](auto& b) { b[firstRecord + 2] |= 8; }, "record for line 0 sets a flashing colour"},
        {"entries differ", [=](auto& b) { b[firstRecord + 2] ^= 1; }, "from line 0 logical colour 0 has entries of"},
        {"unset entry", [=](auto& b) { b[firstRecord + 2 + 15] = b[firstRecord + 2]; }, "line 0 leaves palette entry 15 unset"},
    };
    for (const Malformed& test : cases) {
        SCOPED_TRACE(test.name);
        auto bytes = rasterFileBytes(stock);
        test.spoil(bytes);
        const auto read = readRasterFile(*stock.mode, bytes);
        ASSERT_FALSE(read.ok());
        EXPECT_EQ(read.failure().subject, "raster file");
        EXPECT_NE(read.failure().reason.find(test.reason), std::string::npos) << read.failure().reason;
    }
    auto half = rasterFileBytes(nula);
    half[firstRecord + 1] = 31;
    half.erase(half.begin() + static_cast<std::ptrdiff_t>(firstRecord + 2 + 31));
    const auto read = readRasterFile(*nula.mode, half);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.failure().reason, "record for line 0 writes half a VideoNuLA entry");
}

// FILE.raster and its .inf join the set for a raster screen, beside its
// other members; for a screen of one palette they are removed.
TEST(RasterFile, JoinsTheScreensFileSetOnlyWhenThePaletteChanges)
{
    const ScreenNames names{"$.AQUA", "N.AQUA", "Z.AQUA"};
    for (const bool raster : {false, true}) {
        Conversion conversion;
        conversion.screen = rasterScreen(5, false, 9);
        if (!raster)
            conversion.screen.palettes.resize(1);
        const FileSet set = screenFileSet("out/Aqua.screen", names, conversion);
        const auto written = std::find_if(set.files.begin(), set.files.end(),
                                          [](const FileSet::File& f) { return f.path == "out/Aqua.screen.raster"; });
        const bool removed = std::count(set.removals.begin(), set.removals.end(), "out/Aqua.screen.raster") == 1 &&
                             std::count(set.removals.begin(), set.removals.end(), "out/Aqua.screen.raster.inf") == 1;
        EXPECT_EQ(written != set.files.end(), raster);
        EXPECT_EQ(removed, !raster);
        if (raster) {
            EXPECT_EQ(written->bytes, rasterFileBytes(conversion.screen));
            const auto& inf = (written + 1)->bytes;
            EXPECT_EQ(std::string(inf.begin(), inf.end()),
                      infLine("R.AQUA", 0, 0, static_cast<std::uint32_t>(written->bytes.size())) + "\n");
        }
    }
}

bool holds(const std::vector<std::uint8_t>& disc, const std::string& text)
{
    return std::search(disc.begin(), disc.end(), text.begin(), text.end()) != disc.end();
}

// A show mixing raster and plain pictures, in every form: the routine and
// each raster picture's writes (R.NAME) are on the disc, each DATA line
// says whether its picture is a raster one, and the loader keeps HIMEM
// below the routine.
TEST(RasterDiscs, SlideshowCarriesTheRoutineAndEachRasterPicturesWrites)
{
    Conversion first, second, third;
    first.screen = rasterScreen(1, false, 1);
    second.screen = rasterScreen(2, false, 2);
    second.screen.palettes.resize(1);
    third.screen = rasterScreen(5, true, 3);
    const std::vector<Slide> slides{{"first", &first}, {"second", &second}, {"third", &third}};
    for (const bool compress : {false, true})
        for (const DiscKind kind : {DiscKind::Single, DiscKind::DoubleSided, DiscKind::Mmb}) {
            SCOPED_TRACE(std::to_string(compress) + " " + std::to_string(static_cast<int>(kind)));
            const auto set = makeDiscSet(slides, DiscSettings{80, 5, compress, kind});
            ASSERT_TRUE(set.ok()) << set.failure().message();
            const auto& disc = set.value().files.front();
            EXPECT_TRUE(holds(disc, "RASTER $") && holds(disc, "FIRST  R") && holds(disc, "THIRD  R"));
            EXPECT_FALSE(holds(disc, "SECOND R"));
            EXPECT_TRUE(holds(disc, ",1\r101DATASECOND") && holds(disc, ",0\r102DATATHIRD") && holds(disc, ",1\rRUN"));
            EXPECT_TRUE(holds(disc, "10HIMEM=&2500:D%=500"));
        }
}

}  // namespace
