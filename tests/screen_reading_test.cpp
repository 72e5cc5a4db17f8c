// Screens read back: every mode's file set, raw memory and disc (single,
// double-sided, MMB; packed or whole) opens to the screen that made it, and
// damaged inputs fail with a reason instead of crashing.
#include "conversion/conversion.h"
#include "conversion/screen_layout.h"
#include "outputs/boot_discs.h"
#include "outputs/boot_reading.h"
#include "outputs/compression/zx02.h"
#include "outputs/disc_screens.h"
#include "outputs/inf_reading.h"
#include "outputs/screen_files.h"
#include "outputs/screen_reading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

constexpr std::array<int, 6> kModes{0, 1, 2, 4, 5, 7};

// A screen of `mode` with a pattern that packs well and some noise; its
// palette is the default, VDU 19 colours (`shuffled`), or NuLA colours.
enum class Colours { Default, Changed, Nula };

Screen testScreen(int mode, Colours colours, unsigned seed)
{
    std::mt19937 random(seed);
    if (mode == 7) {
        std::vector<std::uint8_t> bytes(1000);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i % 40 < 20 ? 0x20 + (random() % 96) : 0x97);
        return Screen::teletext(std::move(bytes));
    }
    const ScreenMode& record = *findScreenMode(mode);
    Screen screen(record);
    const int count = colours == Colours::Nula ? 1 << record.bitsPerPixel() : record.numcols;
    for (int y = 0; y < kScreenLines; ++y)
        for (int x = 0; x < screen.width(); ++x)
            screen.line(y)[x] = static_cast<std::uint8_t>(random() % 16 == 0 ? random() % static_cast<unsigned>(count)
                                                                             : (x / 16 + y / 8) % count);
    if (colours == Colours::Changed)
        for (int logical = 0; logical < record.numcols; ++logical)
            screen.palette().physical[static_cast<std::size_t>(logical)] = static_cast<std::uint8_t>(random() % 8);
    if (colours == Colours::Nula) {
        NulaTable table{};
        for (int logical = 0; logical < count; ++logical)
            table[static_cast<std::size_t>(logical)] = {static_cast<std::uint8_t>(random() % 16),
                                                        static_cast<std::uint8_t>(random() % 16),
                                                        static_cast<std::uint8_t>(random() % 16)};
        screen.palette().nula = table;
        for (std::size_t logical = 0; logical < 8; ++logical)
            screen.palette().physical[logical] = nearestStandardColour(table[logical]);
    }
    return screen;
}

Conversion conversionOf(Screen screen)
{
    Conversion conversion;
    conversion.settings.mode = screen.modeNumber;
    conversion.screen = std::move(screen);
    return conversion;
}

const std::vector<std::uint8_t>* setFile(const FileSet& set, const std::string& path)
{
    for (const auto& file : set.files)
        if (file.path == path)
            return &file.bytes;
    return nullptr;
}

std::vector<Colours> coloursOfMode(int mode, bool changed)
{
    if (mode == 7)
        return {Colours::Default};
    return changed ? std::vector{Colours::Default, Colours::Changed, Colours::Nula}
                   : std::vector{Colours::Default, Colours::Nula};
}

}  // namespace

TEST(ScreenReading, EveryModesFileSetOpensToTheScreenThatMadeIt)
{
    for (const int mode : kModes)
        for (const Colours colours : coloursOfMode(mode, false)) {
            SCOPED_TRACE("mode " + std::to_string(mode) + " colours " + std::to_string(static_cast<int>(colours)));
            const Conversion conversion = conversionOf(testScreen(mode, colours, 7u + static_cast<unsigned>(mode)));
            const FileSet set = screenFileSet("pictures/photo.screen", conversion);
            const auto* screen = setFile(set, "pictures/photo.screen");
            const auto* inf = setFile(set, "pictures/photo.screen.inf");
            const auto* nula = setFile(set, "pictures/photo.screen.nula");
            ASSERT_TRUE(screen && inf);
            const auto found = readScreenFile("photo.screen", *screen, readInfLine(std::string(inf->begin(), inf->end())),
                                              nula ? std::optional<std::span<const std::uint8_t>>(*nula) : std::nullopt);
            ASSERT_TRUE(found.ok());
            // The load address narrows the modes to those of the screen's start.
            const auto& modes = found.value().modes;
            EXPECT_EQ(modes, screenModesFor(screen->size(), conversion.screenStart()));
            ASSERT_NE(std::find(modes.begin(), modes.end(), mode), modes.end());
            const auto opened = screenFromMemory(mode, found.value().memory, found.value().colours);
            ASSERT_TRUE(opened.ok());
            EXPECT_EQ(opened.value(), conversion.screen);
        }
}

TEST(ScreenReading, UnpackingAnyMemoryAndPackingItAgainGivesTheSameBytes)
{
    std::mt19937 random(3);
    const std::array<std::uint8_t, kNulaBytes> someNula{};
    for (const int mode : kModes) {
        std::vector<std::uint8_t> memory(static_cast<std::size_t>(findModeRecord(mode)->screenBytes));
        std::generate(memory.begin(), memory.end(), [&] { return static_cast<std::uint8_t>(random()); });
        // Mode 2's flashing colours need NuLA's 16 colours to keep their bit.
        const ScreenColours colours{{}, mode == 2 ? std::optional(someNula) : std::nullopt};
        const auto screen = screenFromMemory(mode, memory, colours);
        ASSERT_TRUE(screen.ok()) << mode;
        EXPECT_EQ(screenMemory(screen.value()), memory) << "mode " << mode;
    }
}

TEST(ScreenReading, RawDumpsAreKnownByLengthAndLoadAddress)
{
    EXPECT_EQ(screenModesFor(20480), (std::vector{0, 1, 2}));
    EXPECT_EQ(screenModesFor(10240), (std::vector{4, 5}));
    EXPECT_EQ(screenModesFor(1000), (std::vector{7}));
    EXPECT_EQ(screenModesFor(10240, 0xFF5800), (std::vector{4, 5}));
    EXPECT_EQ(screenModesFor(1000, 0x7C00), (std::vector{7}));
    // A load address that is no screen start of that length narrows nothing.
    EXPECT_EQ(screenModesFor(20480, 0x1900), (std::vector{0, 1, 2}));
    EXPECT_TRUE(screenModesFor(20479).empty());

    const auto inf = readInfLine("$.SCREEN   005800 000000 002800\n");
    ASSERT_TRUE(inf);
    EXPECT_EQ(inf->load, 0x5800u);
    EXPECT_EQ(inf->length, 0x2800u);
    EXPECT_FALSE(readInfLine("not an inf line"));
}

TEST(ScreenReading, ANonScreenOrABadNulaFileFailsWithTheReason)
{
    const std::vector<std::uint8_t> odd(12345, 0x55);
    const auto notScreen = readScreenFile("odd.bin", odd);
    ASSERT_FALSE(notScreen.ok());
    EXPECT_EQ(notScreen.failure().subject, "odd.bin");
    EXPECT_NE(notScreen.failure().reason.find("12345 bytes"), std::string::npos);

    const std::vector<std::uint8_t> screen(20480, 0);
    const std::vector<std::uint8_t> shortNula(31, 0);
    const auto badNula = readScreenFile("a.screen", screen, std::nullopt, std::span<const std::uint8_t>(shortNula));
    ASSERT_FALSE(badNula.ok());
    EXPECT_EQ(badNula.failure().subject, "a.screen.nula");

    const auto wrongMode = screenFromMemory(4, screen, {});
    ASSERT_FALSE(wrongMode.ok());
    EXPECT_NE(wrongMode.failure().reason.find("10240"), std::string::npos);
}

TEST(ScreenReading, APackedScreenFileOpensUnpacked)
{
    const Conversion conversion = conversionOf(testScreen(1, Colours::Default, 5));
    const auto stream = zx02Compress(conversion.bytes());
    const FileSet set = screenFileSet("x.screen", conversion, stream);
    const auto* packed = setFile(set, "x.screen.zx02");
    ASSERT_TRUE(packed);
    const auto found = readScreenFile("x.screen.zx02", *packed);
    ASSERT_TRUE(found.ok());
    EXPECT_TRUE(found.value().packed);
    EXPECT_EQ(found.value().memory, conversion.bytes());
}

namespace {

struct DiscCase {
    DiscKind kind;
    bool compress;
    std::size_t pictures;
};

DiscContainer containerOf(DiscKind kind)
{
    switch (kind) {
    case DiscKind::Single: return DiscContainer::Single;
    case DiscKind::DoubleSided: return DiscContainer::DoubleSided;
    case DiscKind::Mmb: return DiscContainer::Mmb;
    }
    return DiscContainer::Single;
}

// A show of `count` pictures through every mode and every kind of colours.
std::vector<Conversion> showConversions(std::size_t count)
{
    std::vector<Conversion> conversions;
    for (std::size_t i = 0; i < count; ++i) {
        const int mode = kModes[i % kModes.size()];
        const auto kinds = coloursOfMode(mode, true);
        conversions.push_back(conversionOf(testScreen(mode, kinds[(i / kModes.size() + i) % kinds.size()],
                                                      static_cast<unsigned>(i))));
    }
    return conversions;
}

}  // namespace

TEST(DiscReading, EveryKindOfDiscListsItsScreensAndOpensEachAsMade)
{
    const std::vector<DiscCase> cases{
        {DiscKind::Single, false, 1},      {DiscKind::Single, true, 1},   {DiscKind::Single, false, 6},
        {DiscKind::Single, true, 14},      {DiscKind::DoubleSided, true, 12}, {DiscKind::DoubleSided, false, 1},
        {DiscKind::Mmb, true, 14},         {DiscKind::Mmb, false, 7},
    };
    for (const DiscCase& test : cases) {
        SCOPED_TRACE("kind " + std::to_string(static_cast<int>(test.kind)) + " compress " +
                     std::to_string(test.compress) + " pictures " + std::to_string(test.pictures));
        const auto conversions = showConversions(test.pictures);
        std::vector<Slide> slides;
        for (std::size_t i = 0; i < conversions.size(); ++i)
            slides.push_back({"picture " + std::to_string(i), &conversions[i], {}});
        const auto set = makeDiscSet(slides, DiscSettings{40, 0, test.compress, test.kind});
        ASSERT_TRUE(set.ok()) << set.failure().message();
        std::vector<DiscContents> files;
        for (const auto& file : set.value().files) {
            auto contents = readDiscImage(file, containerOf(test.kind));
            ASSERT_TRUE(contents.ok()) << contents.failure().message();
            files.push_back(std::move(contents).value());
        }
        std::size_t listed = 0;
        for (const DiscContents& contents : files)
            listed += contents.screens.size();
        EXPECT_EQ(listed, test.pictures);
        bool anyPacked = false;
        for (std::size_t i = 0; i < set.value().pictures.size(); ++i) {
            const PlacedPicture& placed = set.value().pictures[i];
            const auto& screens = files.at(placed.file).screens;
            std::string file("$.");
            file += placed.dfsName;
            std::string disc("disc ");
            disc += std::to_string(placed.disc);
            disc += ' ';
            const auto named = std::find_if(screens.begin(), screens.end(), [&](const FoundScreen& screen) {
                return screen.name.ends_with(file) && screen.packed == placed.packed &&
                       (test.kind != DiscKind::DoubleSided || (screen.name.starts_with("side 2") == (placed.drive == 2))) &&
                       (test.kind != DiscKind::Mmb || screen.name.starts_with(disc));
            });
            ASSERT_NE(named, screens.end()) << placed.dfsName;
            anyPacked = anyPacked || named->packed;
            ASSERT_EQ(named->modes, std::vector{conversions[i].mode()}) << named->name;
            const auto opened = screenFromMemory(named->modes.front(), named->memory, named->colours);
            ASSERT_TRUE(opened.ok());
            EXPECT_EQ(opened.value(), conversions[i].screen) << named->name;
        }
        EXPECT_EQ(anyPacked, test.compress);
    }
}

TEST(DiscReading, DamagedDiscsFailWithAReasonAndNeverCrash)
{
    const auto conversions = showConversions(4);
    std::vector<Slide> slides;
    for (std::size_t i = 0; i < conversions.size(); ++i)
        slides.push_back({std::string(1, static_cast<char>('a' + i)), &conversions[i], {}});
    const auto set = makeDiscSet(slides, DiscSettings{80, 0, false, DiscKind::Single});
    ASSERT_TRUE(set.ok());
    const std::vector<std::uint8_t>& disc = set.value().files.front();

    // Cut through the last screen file.
    const std::vector<std::uint8_t> truncated(disc.begin(), disc.begin() + 40000);
    const auto cut = readDiscImage(truncated, DiscContainer::Single);
    ASSERT_FALSE(cut.ok());
    EXPECT_NE(cut.failure().reason.find("truncated"), std::string::npos) << cut.failure().message();

    std::vector<std::uint8_t> badCount = disc;
    badCount[256 + 5] = 7;  // not a whole number of 8-byte entries
    ASSERT_FALSE(readDiscImage(badCount, DiscContainer::Single).ok());

    std::vector<std::uint8_t> badSector = disc;
    badSector[256 + 8 + 7] = 0xFF;  // the first entry's file past the disc's sectors
    badSector[256 + 8 + 6] |= 3;
    ASSERT_FALSE(readDiscImage(badSector, DiscContainer::Single).ok());

    const std::vector<std::uint8_t> tiny(100, 0);
    for (const DiscContainer container : {DiscContainer::Single, DiscContainer::DoubleSided, DiscContainer::Mmb}) {
        const auto result = readDiscImage(tiny, container);
        ASSERT_FALSE(result.ok());
        EXPECT_FALSE(result.failure().reason.empty());
    }

    // Garbage and random damage: a result or a failure, never a crash.
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> damaged = disc;
        for (int hit = 0; hit < 1 + round % 20; ++hit)
            damaged[random() % (round % 2 ? 512 : damaged.size())] = static_cast<std::uint8_t>(random());
        if (round % 5 == 0)
            damaged.resize(random() % damaged.size());
        for (const DiscContainer container : {DiscContainer::Single, DiscContainer::DoubleSided, DiscContainer::Mmb})
            (void)readDiscImage(damaged, container);
        (void)readScreenFile("damaged", damaged);
        (void)bootScreens(damaged);
    }
}

TEST(BootReading, ABootDiscsTextGivesItsScreensModeAndColours)
{
    const std::string boot = "*BASIC\rMODE1\rVDU19,1,4;0;:VDU19,3,2;0;:VDU23;8202;0;0;0;:OSCLI\"LOAD SCREEN FF3000\""
                             ":A%=GET:MODE7\r";
    const auto screens = bootScreens(std::span(reinterpret_cast<const std::uint8_t*>(boot.data()), boot.size()));
    ASSERT_EQ(screens.size(), 1u);
    EXPECT_EQ(screens.front().name, "SCREEN");
    EXPECT_EQ(screens.front().mode, 1);
    EXPECT_EQ(screens.front().colours.changes, (std::vector<PaletteChange>{{1, 4}, {3, 2}}));
    const std::string other = "*BASIC\rCHAIN\"MENU\"\r";
    EXPECT_TRUE(bootScreens(std::span(reinterpret_cast<const std::uint8_t*>(other.data()), other.size())).empty());
}
