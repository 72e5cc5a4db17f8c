// Discs of screens whose palette changes line by line, booted on jsbeeb:
// the raster routine shows every line in its own palette, pixel for pixel
// as screenPicture draws the screen, on all 256 lines and frame after
// frame; a slideshow moves from plain pictures to raster ones; and on a
// machine without VideoNuLA a NuLA raster disc shows its first palette's
// nearest standard colours on every line.
#include "emulated_boot.h"

#include "conversion/nula/nula_screen.h"
#include "conversion/painter.h"
#include "conversion/raster_budget.h"
#include "conversion/screen_picture.h"
#include "outputs/boot_discs.h"
#include "outputs/m6502/raster_routine.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <numeric>
#include <map>
#include <random>
#include <sstream>

namespace {

constexpr double kBootSeconds = 10;
constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 512;
const std::vector<int> kLaterFrames{1, 25, 50};

// Every logical colour on every line, in runs that differ from line to line.
std::vector<std::uint8_t> stripes(const ScreenMode& mode, int colours)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(mode.screenPixelsPerLine()) * kScreenLines);
    for (int y = 0; y < kScreenLines; ++y)
        for (int x = 0; x < mode.screenPixelsPerLine(); ++x)
            pixels[static_cast<std::size_t>(y * mode.screenPixelsPerLine() + x)] =
                static_cast<std::uint8_t>((x / (1 + y % 3) + y) % colours);
    return pixels;
}

NulaColour randomColour(std::mt19937& random)
{
    return {static_cast<std::uint8_t>(random() % 16), static_cast<std::uint8_t>(random() % 16),
            static_cast<std::uint8_t>(random() % 16)};
}

// `palette` with `count` of its logical colours, chosen at random, in new
// random colours.
LinePalette changed(const Screen& screen, LinePalette palette, int count, std::mt19937& random)
{
    std::vector<int> colours(static_cast<std::size_t>(screen.logicalColours()));
    std::iota(colours.begin(), colours.end(), 0);
    std::shuffle(colours.begin(), colours.end(), random);
    for (int i = 0; i < count; ++i) {
        const auto logical = static_cast<std::size_t>(colours[static_cast<std::size_t>(i)]);
        if (palette.nula) {
            NulaColour& colour = (*palette.nula)[logical];
            const NulaColour old = colour;
            while (colour == old)
                colour = randomColour(random);
            if (logical < palette.physical.size())
                palette.physical[logical] = nearestStandardColour(colour);
        } else {
            const std::uint8_t old = palette.physical[logical];
            while (palette.physical[logical] == old)
                palette.physical[logical] = static_cast<std::uint8_t>(random() % 8);
        }
    }
    return palette;
}

// A screen of `modeNumber` whose palette changes before most lines (the
// first and last included) by as many colours as the routine's budget
// allows.
Screen rasterScreen(int modeNumber, bool nula, unsigned seed)
{
    const ScreenMode& mode = *findScreenMode(modeNumber);
    std::mt19937 random(seed);
    Screen screen(mode);
    if (nula) {
        NulaTable colours{};
        for (int i = 0; i < 1 << mode.bitsPerPixel(); ++i)
            colours[static_cast<std::size_t>(i)] = randomColour(random);
        screen = nulaImageOf(mode, {}, colours);
    }
    screen.pixels = stripes(mode, screen.logicalColours());
    const RasterBudget budget = rasterBudget(mode);
    const int allowed = nula ? budget.nulaColours : budget.standardColours;
    for (int line = 1; line < kScreenLines; ++line) {
        if (line != 1 && line != kScreenLines - 1 && random() % 4 == 0)
            continue;
        LinePalette next = changed(screen, screen.palettes.back(), allowed, random);
        next.firstLine = line;
        screen.palettes.push_back(next);
    }
    return screen;
}

Conversion conversionOf(Screen screen)
{
    Conversion conversion;
    conversion.settings.mode = screen.modeNumber;
    conversion.settings.nula = screen.hasNula();
    conversion.screen = std::move(screen);
    return conversion;
}

std::filesystem::path writeFile(const std::vector<std::uint8_t>& bytes, const ScratchFolder& folder)
{
    const auto file = folder.path() / "raster.ssd";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file;
}

// How many pixels of the frame differ from `expected` (the colour each
// display pixel should show), reporting the first.
int wrongPixels(const std::vector<std::uint8_t>& rgb, const std::function<std::uint32_t(int, int)>& expected,
                const std::string& which)
{
    int wrong = 0;
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * kFrameWidth + static_cast<std::size_t>(x)) * 3;
            const std::uint32_t shown = 0xFF000000u | (std::uint32_t{rgb[at]} << 16) |
                                        (std::uint32_t{rgb[at + 1]} << 8) | rgb[at + 2];
            if (shown != expected(x, y) && wrong++ == 0)
                ADD_FAILURE() << which << ": first wrong pixel at (" << x << ", " << y << "), screen line " << y / 2;
        }
    return wrong;
}

// The frame read after the boot and each later one against `expected`.
void expectEveryFrame(const EmulatedScreen& screen, const std::function<std::uint32_t(int, int)>& expected)
{
    ASSERT_EQ(screen.width, kFrameWidth);
    ASSERT_EQ(screen.height, kFrameHeight);
    EXPECT_EQ(wrongPixels(screen.rgb, expected, "frame after boot"), 0);
    ASSERT_EQ(screen.laterFrames.size(), kLaterFrames.size());
    for (std::size_t i = 0; i < kLaterFrames.size(); ++i)
        EXPECT_EQ(wrongPixels(screen.laterFrames[i], expected, "frame " + std::to_string(kLaterFrames[i])), 0);
}

// The screen as screenPicture draws it, on the 640 x 512 display grid.
std::function<std::uint32_t(int, int)> pictureOf(const Screen& screen)
{
    auto picture = std::make_shared<ScreenPicture>(screenPicture(screen));
    return [picture](int x, int y) {
        return picture->pixels.scanLine(y / picture->pixelHeight)[x / picture->pixelWidth];
    };
}

void expectMemoryHolds(const EmulatedScreen& screen, const std::vector<std::uint8_t>& bytes)
{
    ASSERT_EQ(screen.memory.size(), 0x5000u);
    const std::vector<std::uint8_t> shown(screen.memory.end() - static_cast<std::ptrdiff_t>(bytes.size()),
                                          screen.memory.end());
    EXPECT_TRUE(shown == bytes) << "screen memory differs from the screen file";
}

class RasterBoot : public testing::Test {
protected:
    void SetUp() override
    {
        if (!emulatorInstalled())
            GTEST_SKIP() << "jsbeeb is not installed (the npm registry could not be reached)";
    }

    EmulatedScreen boot(const std::vector<std::uint8_t>& disc, NulaFitted nula, int keyPresses = 0)
    {
        std::string problem;
        auto screen = bootOnEmulator(writeFile(disc, folder), folder.path(), kBootSeconds, keyPresses, problem,
                                     FrameArea::Active, nula, kLaterFrames);
        if (!screen) {
            ADD_FAILURE() << problem;
            return {};
        }
        return *screen;
    }

    ScratchFolder folder;
};

struct RasterCase {
    int mode;
    bool nula;
    bool compress;
};

class RasterDiscOnEmulator : public RasterBoot, public testing::WithParamInterface<RasterCase> {};

TEST_P(RasterDiscOnEmulator, ShowsEveryLineInItsPaletteFrameAfterFrame)
{
    const RasterCase& test = GetParam();
    const Conversion conversion = conversionOf(rasterScreen(test.mode, test.nula, 7u + static_cast<unsigned>(test.mode)));
    ASSERT_TRUE(fitsRasterBudget(conversion.screen));
    const auto disc = bootDisc(conversion, 80, test.compress);
    ASSERT_TRUE(disc.ok()) << disc.failure().message();
    const EmulatedScreen screen = boot(disc.value().bytes, NulaFitted::On);
    expectMemoryHolds(screen, conversion.bytes());
    expectEveryFrame(screen, pictureOf(conversion.screen));
}

INSTANTIATE_TEST_SUITE_P(, RasterDiscOnEmulator,
                         testing::Values(RasterCase{0, false, false}, RasterCase{1, false, true},
                                         RasterCase{4, false, true}, RasterCase{5, false, false},
                                         RasterCase{0, true, true}, RasterCase{1, true, false},
                                         RasterCase{2, true, true}, RasterCase{4, true, false},
                                         RasterCase{5, true, true}),
                         [](const testing::TestParamInfo<RasterCase>& info) {
                             return "Mode" + std::to_string(info.param.mode) + (info.param.nula ? "_Nula" : "") +
                                    (info.param.compress ? "_Compressed" : "");
                         });

// Without NuLA, every line shows the first palette's nearest standard
// colours: the loader's fallback, which the routine leaves alone, whether
// NuLA's entries would be the video ULA's (mode 2) or logical colours
// pointed at through it (mode 5). Both modes' pixels are 4 frame pixels wide.
TEST_F(RasterBoot, NulaDiscWithoutNulaShowsTheFirstPalettesStandardColours)
{
    for (const int mode : {2, 5}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        const Conversion conversion = conversionOf(rasterScreen(mode, true, 11));
        const auto disc = bootDisc(conversion, 80, false);
        ASSERT_TRUE(disc.ok()) << disc.failure().message();
        const EmulatedScreen screen = boot(disc.value().bytes, NulaFitted::SwitchedOff);
        expectMemoryHolds(screen, conversion.bytes());
        const Screen& image = conversion.screen;
        expectEveryFrame(screen, [&image](int x, int y) {
            const NulaColour colour = (*image.palettes.front().nula)[image.at(x / 4, y / 2)];
            return toRgb32(physicalRgb(nearestStandardColour(colour)));
        });
    }
}

// A compressed slideshow: a NuLA raster picture, a plain one, then a
// raster one in standard colours, shown after two key presses: the routine
// leaves NuLA as it found it.
TEST_F(RasterBoot, SlideshowMovesFromRasterToPlainToRasterPictures)
{
    const Conversion first = conversionOf(rasterScreen(5, true, 9));
    Screen plain = rasterScreen(2, false, 5);
    plain.palettes.resize(1);
    const Conversion second = conversionOf(plain);
    const Conversion third = conversionOf(rasterScreen(1, false, 3));
    const std::vector<Slide> slides{{"first", &first}, {"second", &second}, {"third", &third}};
    const auto discs = makeDiscSet(slides, DiscSettings{80, 0, true, DiscKind::Single});
    ASSERT_TRUE(discs.ok()) << discs.failure().message();
    ASSERT_EQ(discs.value().files.size(), 1u);
    const EmulatedScreen screen = boot(discs.value().files.front(), NulaFitted::On, 2);
    expectMemoryHolds(screen, third.bytes());
    expectEveryFrame(screen, pictureOf(third.screen));
}

// One palette write as raster_timing.mjs reports it.
struct TimedWrite {
    std::uint64_t cycle = 0;
    int line = 0;       // the scan line the CRTC is on, 0 at the top of the picture
    int character = 0;  // its horizontal counter
};

std::vector<TimedWrite> timedWrites(const std::filesystem::path& disc, const ScratchFolder& folder, int frames)
{
    const auto log = folder.path() / "timing.log";
    std::ostringstream command;
    command << "'" RASTERINE_NODE "' '" RASTERINE_RASTER_TIMING_SCRIPT "' '" RASTERINE_JSBEEB_DIR "' '"
            << disc.string() << "' " << kBootSeconds << ' ' << frames << " >'" << log.string() << "' 2>&1";
    EXPECT_EQ(std::system(command.str().c_str()), 0);
    std::vector<TimedWrite> writes;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string tag;
        TimedWrite write;
        if (words >> tag >> write.cycle >> write.line >> write.character && tag == "W")
            writes.push_back(write);
    }
    return writes;
}

// The cycles of the listing's instructions from `from` to `to`, run
// straight through (branches not taken), as the 6502 counts them.
int listingCycles(const Assembly& routine, const std::string& from, const std::string& to)
{
    const std::map<std::uint8_t, std::pair<int, int>> cyclesAndLength{
        {0xE6, {5, 2}}, {0xA4, {3, 2}}, {0xF0, {2, 2}}, {0xB9, {4, 3}}, {0x8D, {4, 3}}, {0xBE, {4, 3}},
        {0xA0, {2, 2}}, {0xEA, {2, 1}}, {0x24, {3, 2}}, {0x8E, {4, 3}}, {0x8C, {4, 3}}, {0xA9, {2, 2}},
        {0x4C, {3, 3}}};
    int cycles = 0;
    const auto end = static_cast<std::size_t>(routine.address(to) - routine.origin);
    for (auto at = static_cast<std::size_t>(routine.address(from) - routine.origin); at < end;) {
        const auto known = cyclesAndLength.find(routine.bytes[at]);
        if (known == cyclesAndLength.end()) {
            ADD_FAILURE() << "no cycle count for opcode " << int{routine.bytes[at]};
            return 0;
        }
        cycles += known->second.first;
        at += static_cast<std::size_t>(known->second.second);
    }
    return cycles;
}

// On the emulated machine, in a 2 MHz and a 1 MHz mode: each line's 8
// writes land after its pixels (in the blanking before the next line),
// line 0's in the vertical blanking; lines are 128 cycles apart, as the
// listing counts them, and frames 39936.
TEST_F(RasterBoot, WritesLandInTheBlankingLineAfterLineAndFrameAfterFrame)
{
    EXPECT_EQ(listingCycles(rasterRoutine(), "next", "timed_end"), 128);
    for (const int mode : {0, 5}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        const Conversion conversion = conversionOf(rasterScreen(mode, false, 21));
        const auto disc = bootDisc(conversion, 80, false);
        ASSERT_TRUE(disc.ok()) << disc.failure().message();
        const auto writes = timedWrites(writeFile(disc.value().bytes, folder), folder, 2);
        constexpr std::size_t kPerFrame = 255 * 8 + 32;
        ASSERT_EQ(writes.size(), 2 * kPerFrame);
        const int pixelCharacters = mode == 0 ? 80 : 40;
        std::map<int, int> perLine;
        for (std::size_t i = 0; i < kPerFrame; ++i) {
            const TimedWrite& write = writes[i];
            EXPECT_EQ(writes[i + kPerFrame].cycle - write.cycle, 39936u) << "write " << i;
            if (write.line >= kScreenLines)
                continue;  // the vertical blanking
            EXPECT_LT(write.line, kScreenLines - 1);
            EXPECT_GE(write.character, pixelCharacters) << "a write on line " << write.line << " lands on its pixels";
            ++perLine[write.line];
            if (i >= 8 && writes[i - 8].line < kScreenLines) {
                EXPECT_EQ(write.cycle - writes[i - 8].cycle, 128u);
            }
        }
        EXPECT_EQ(perLine.size(), 255u);
        for (const auto& [line, count] : perLine)
            EXPECT_EQ(count, 8) << "line " << line;
    }
}

}  // namespace
