// Compressed discs, .dsd and .mmb layouts against worked examples, and the
// 6502 unpacking routine's listing as our assembler reads it.
#include "tests/engine_steps.h"
#include "conversion/screen_layout.h"
#include "outputs/boot_discs.h"
#include "outputs/compression/zx02.h"
#include "outputs/disc_containers.h"
#include "outputs/dfs_image.h"
#include "outputs/m6502/assembler.h"
#include "outputs/m6502/unpack_routine.h"
#include "outputs/nula_setup.h"
#include "outputs/packed_screen.h"
#include "outputs/show_time.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kTrack = 2560;

void fillNoise(Bytes& bytes, std::uint32_t seed)
{
    std::mt19937 random(seed);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
}

// A screen whose memory is `memory`: its pixels read back from it, in all
// the colours their bits number.
void setMemory(Conversion& conversion, const Bytes& memory)
{
    if (conversion.screen.mode->bitsPerPixel() == 4)
        conversion.screen.palette().nula = NulaTable{};
    conversion.screen.pixels = unpackScreen(*conversion.screen.mode, memory);
}

// Noise in every bit of a mode 2 screen's memory from scan line `from` on:
// pixels of all 16 colours NuLA gives it.
void fillNoise(Conversion& conversion, std::uint32_t seed, int from = 0)
{
    conversion.screen.palette().nula = NulaTable{};
    std::mt19937 random(seed);
    for (int y = from; y < kScreenLines; ++y)
        for (int x = 0; x < conversion.screen.width(); ++x)
            conversion.screen.line(y)[x] = static_cast<std::uint8_t>(random() & 15);
}

// Side 0's tracks hold 0, 1, 2 ... side 2's 100, 101, 102 ...: the file
// holds them alternately, track by track.
TEST(DiscLayout, DoubleSidedImageInterleavesTheSidesByTrack)
{
    Bytes side0(40 * kTrack), side2(40 * kTrack);
    for (std::size_t i = 0; i < side0.size(); ++i) {
        side0[i] = static_cast<std::uint8_t>(i / kTrack);
        side2[i] = static_cast<std::uint8_t>(100 + i / kTrack);
    }
    const Bytes image = doubleSidedImage(side0, side2, 40);
    ASSERT_EQ(image.size(), 80 * kTrack);
    for (const auto& [at, value] : std::vector<std::pair<std::size_t, int>>{
             {0, 0}, {kTrack - 1, 0}, {kTrack, 100}, {2 * kTrack, 1}, {3 * kTrack + 7, 101}, {79 * kTrack, 139}})
        EXPECT_EQ(image[at], value) << "at " << at;
}

// Two discs: drives 0-3 hold discs 0-3 after power-on; slot 1 (bytes 16-31)
// is "SLIDES 1" padded with zeros and &0F; slot 2 likewise; slot 3 on are
// empty (&F0); the discs follow the 8 KiB table in 200 KiB slots.
TEST(DiscLayout, MmbFileHasItsTableThenTheDiscs)
{
    const Bytes first(400 * 256, 0x11), second(800 * 256, 0x22);
    const std::vector<MmbDisc> discs{{"SLIDES 1", first}, {"SLIDES 2", second}};
    const auto file = mmbImage(discs);
    ASSERT_TRUE(file.ok());
    const Bytes& mmb = file.value();
    ASSERT_EQ(mmb.size(), 8192u + 2 * 204800u);
    EXPECT_EQ(Bytes(mmb.begin(), mmb.begin() + 16), (Bytes{0, 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(mmb.begin() + 16, mmb.begin() + 32),
              (Bytes{'S', 'L', 'I', 'D', 'E', 'S', ' ', '1', 0, 0, 0, 0, 0, 0, 0, 0x0F}));
    EXPECT_EQ(mmb[47], 0x0F);
    EXPECT_EQ(mmb[63], 0xF0);
    EXPECT_EQ(mmb[8191], 0xF0);
    EXPECT_EQ(mmb[8192], 0x11);
    EXPECT_EQ(mmb[8192 + 400 * 256], 0) << "a 40-track disc leaves the rest of its slot empty";
    EXPECT_EQ(mmb[8192 + 204800], 0x22);
    EXPECT_FALSE(mmbImage(std::vector<MmbDisc>(512, {"X", first})).ok());
}

// A few lines in the listing's style, assembled by hand from the 6502's
// opcode table: zero page where it fits, branches back and forth.
TEST(DiscLayout, AssemblerFollowsTheOpcodeTable)
{
    const auto assembled = assemble("ptr = &70\n"
                                    "start: LDA #>&1234 ; high byte\n"
                                    "loop:  STA (ptr),Y\n"
                                    "       INC ptr\n"
                                    "       BNE loop\n"
                                    "       LDA &7F00,X\n"
                                    "       ROL A\n"
                                    "       BCC done\n"
                                    "       JMP start+2\n"
                                    "done:  RTS\n",
                                    0x0900);
    ASSERT_TRUE(assembled.ok()) << assembled.failure().message();
    EXPECT_EQ(assembled.value().bytes, (Bytes{0xA9, 0x12, 0x91, 0x70, 0xE6, 0x70, 0xD0, 0xFA, 0xBD, 0x00, 0x7F,
                                              0x2A, 0x90, 0x03, 0x4C, 0x02, 0x09, 0x60}));
    EXPECT_EQ(assembled.value().address("done"), 0x0911);
    for (const char* wrong : {"LDA (&70),X", "FOO", "BNE nowhere", "LDA #&123"})
        EXPECT_FALSE(assemble(wrong, 0x0900).ok()) << wrong;
}

// The routine lives in page &09, below its copy of page &7F in page &0A.
TEST(DiscLayout, UnpackingRoutineFitsItsPage)
{
    const Assembly& routine = unpackRoutine();
    EXPECT_EQ(routine.address("screen"), 0x0900);
    EXPECT_LE(routine.bytes.size(), 256u);
    EXPECT_EQ(routine.address("tail"), 0x0A00);
}

// A mode 2 screen of soft fields, a mode 7 screen and a screen of noise.
Conversion screenOf(int mode, bool noise)
{
    auto state = startState();
    if (noise)
        fillRandomPlanes(*state, 3);
    else
        for (int y = 0; y < kPictureHeight; ++y)
            for (int x = 0; x < kPictureWidth; ++x) {
                state->red(x, y) = x * 255 / (kPictureWidth - 1);
                state->green(x, y) = y;
                state->blue(x, y) = (x / 40 % 2) * 200;
            }
    state->curmode = mode;
    state->htone = static_cast<int>(Halftone::Fine);
    BufferSurface preview(kPictureWidth, kPictureHeight);
    return convertScreen(*state, preview);
}

// The packed file ends at &8000 with the screen start and its own start;
// its stream unpacks to the screen, and it is kept only when smaller.
TEST(DiscLayout, PackedScreenEndsBelowTheScreenTopWithItsAddresses)
{
    const Conversion conversion = screenOf(4, false);
    const auto packed = packScreen(conversion);
    ASSERT_TRUE(packed.has_value());
    const Bytes& file = packed->file;
    EXPECT_EQ((packed->load & 0xFFFF) + file.size(), 0x8000u);
    EXPECT_EQ(packed->load >> 16, 0xFFu);
    EXPECT_EQ(packed->exec, 0xFF0900u);
    EXPECT_EQ(file[file.size() - 4] | file[file.size() - 3] << 8, 0x5800);
    EXPECT_EQ(static_cast<std::uint32_t>(file[file.size() - 2] | file[file.size() - 1] << 8), packed->load & 0xFFFF);
    EXPECT_EQ(zx02Decompress(Bytes(file.begin(), file.end() - 4), conversion.bytes().size()), conversion.bytes());

    Conversion noise = screenOf(2, true);
    fillNoise(noise, 1);
    EXPECT_FALSE(packScreen(noise).has_value()) << "no smaller: stored whole";
}

// Unpacked over itself, the screen must never catch up with stream bytes
// not yet read: when a screen's first half packs to nothing and its second
// half is noise (which grows a little when packed), it does, so that screen
// is stored whole; the other way round it does not.
TEST(DiscLayout, InPlaceCheckFindsTheScreenCatchingUpWithTheStream)
{
    Bytes noise(10240);
    fillNoise(noise, 2);
    Bytes noiseLast(20480, 0), noiseFirst(20480, 0);
    std::copy(noise.begin(), noise.end(), noiseLast.begin() + 10240);
    std::copy(noise.begin(), noise.end(), noiseFirst.begin());
    EXPECT_FALSE(unpacksInPlace(zx02Compress(noiseLast), 0x3000, 0x8000));
    EXPECT_TRUE(unpacksInPlace(zx02Compress(noiseFirst), 0x3000, 0x8000));
    Conversion conversion = screenOf(2, false);
    setMemory(conversion, noiseLast);
    EXPECT_FALSE(packScreen(conversion).has_value());
}

// A mode 1 screen whose bytes are, in `tenths` of every ten, random of 16
// values, and otherwise 0.
Conversion partlyNoise(int tenths)
{
    Conversion conversion = screenOf(1, false);
    std::mt19937 random(7);
    Bytes memory(conversion.bytes().size());
    for (std::size_t i = 0; i < memory.size(); ++i)
        memory[i] = i % 10 < static_cast<std::size_t>(tenths) ? static_cast<std::uint8_t>(random() % 16 * 0x11) : 0;
    setMemory(conversion, memory);
    return conversion;
}

// Packing must bring the picture sooner, not only save sectors: random
// bytes of 4 values pack to 30 sectors and unpack quickly; of 16 values they
// still save 26 sectors but unpack slowly, in short copies, so that screen
// is stored whole. As measured on the emulator, BytheWater's Floyd-Steinberg
// screen (13,577 bytes packed, 1,427,981 cycles to unpack) is not sooner
// packed either, unless the routine is in memory already. In a slideshow
// it is after the first packed picture: a screen sooner packed only then is
// stored whole before it and packed after it.
TEST(DiscLayout, ScreenIsPackedOnlyWhenItsPictureIsCompleteSooner)
{
    EXPECT_TRUE(packedIsSooner(20480, 13577, 1427981, true));
    const Conversion onceLoaded = partlyNoise(8), loading = partlyNoise(7);
    EXPECT_FALSE(packScreen(onceLoaded).has_value());
    EXPECT_TRUE(packScreen(loading).has_value());
    const std::vector<Slide> slides{{"before", &onceLoaded}, {"first", &loading}, {"after", &onceLoaded}};
    const auto set = makeDiscSet(slides, DiscSettings{80, 0, true, DiscKind::Single});
    ASSERT_TRUE(set.ok());
    std::vector<bool> packed;
    for (const PlacedPicture& picture : set.value().pictures)
        packed.push_back(picture.packed);
    EXPECT_EQ(packed, (std::vector<bool>{false, true, true}));

    for (const auto& [values, sooner] : {std::pair{4u, true}, std::pair{16u, false}}) {
        std::mt19937 random(7);
        Conversion conversion = screenOf(1, false);
        Bytes memory(conversion.bytes().size());
        for (auto& byte : memory)
            byte = static_cast<std::uint8_t>(random() % values * 0x11);
        setMemory(conversion, memory);
        const auto placed = placePackedScreen(conversion);
        ASSERT_TRUE(placed.has_value());
        EXPECT_LE(dfsSectors(placed->file.size()) + 26, dfsSectors(conversion.bytes().size()));
        EXPECT_EQ(packScreen(conversion).has_value(), sooner) << values << " values";
    }
    EXPECT_FALSE(packedIsSooner(20480, 13577, 1427981));
    EXPECT_TRUE(packedIsSooner(20480, 13577, 1427981 / 2));
}

// Compressed, the same pictures need fewer sectors, and a double-sided disc
// uses its second side once the first is full (four whole 20 KiB screens
// fill a 40-track side). The routine goes after those four, none of which
// needs it: DFS lists the file that starts last first.
TEST(DiscLayout, CompressedSlideshowFillsBothSides)
{
    std::vector<Conversion> screens;
    for (int i = 0; i < 6; ++i) {
        screens.push_back(screenOf(2, true));
        fillNoise(screens.back(), static_cast<std::uint32_t>(10 + i));
    }
    screens.push_back(screenOf(2, false));
    std::vector<Slide> slides;
    for (std::size_t i = 0; i < screens.size(); ++i)
        slides.push_back({"pic" + std::to_string(i), &screens[i]});
    const auto set = makeDiscSet(slides, DiscSettings{40, 0, true, DiscKind::DoubleSided});
    ASSERT_TRUE(set.ok()) << set.failure().message();
    ASSERT_EQ(set.value().files.size(), 1u);
    EXPECT_EQ(set.value().files.front().size(), 2u * 40 * kTrack);
    EXPECT_EQ(set.value().discs, 2u);
    std::vector<int> drives;
    for (const PlacedPicture& picture : set.value().pictures)
        drives.push_back(picture.drive);
    EXPECT_EQ(drives, (std::vector<int>{0, 0, 0, 0, 2, 2, 2}));
    EXPECT_TRUE(set.value().pictures.back().packed);
    EXPECT_FALSE(set.value().pictures.front().packed);
    const Bytes& disc = set.value().files.front();
    EXPECT_EQ(std::string(disc.begin() + 8, disc.begin() + 15), "UNPACK ");
}

bool holds(const Bytes& disc, const std::string& text)
{
    return std::search(disc.begin(), disc.end(), text.begin(), text.end()) != disc.end();
}

// A show mixing VideoNuLA and standard colours, in every form: each NuLA
// picture's DATA line carries its fallback colours and its 16 entries, the
// standard picture's line no entries; uncompressed, the disc is still
// slideshowDiscs' one.
TEST(DiscLayout, NulaSlideshowLoaderHoldsEachPicturesColours)
{
    Conversion first = screenOf(2, false), plain = screenOf(1, false), third = screenOf(5, false);
    NulaTable colours{};
    for (std::size_t i = 0; i < colours.size(); ++i)
        colours[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(15 - i), static_cast<std::uint8_t>(i / 2)};
    first.screen.palette().nula = colours;
    std::reverse(colours.begin(), colours.end());
    third.screen.palette().nula = colours;
    const std::vector<Slide> slides{{"first", &first}, {"plain", &plain}, {"third", &third}};
    const auto line = [](const std::string& start, const Conversion& picture) {
        return start + nulaFallbackDigits(picture.screen) + "," + nulaEntryDigits(picture.screen) + ",";
    };
    for (const bool compress : {false, true})
        for (const DiscKind kind : {DiscKind::Single, DiscKind::DoubleSided, DiscKind::Mmb}) {
            const auto set = makeDiscSet(slides, DiscSettings{80, 0, compress, kind});
            ASSERT_TRUE(set.ok()) << set.failure().message();
            const Bytes& disc = set.value().files.front();
            EXPECT_TRUE(holds(disc, line("100DATAFIRST,2,", first))) << compress << static_cast<int>(kind);
            EXPECT_TRUE(holds(disc, line("102DATATHIRD,5,", third))) << compress << static_cast<int>(kind);
            EXPECT_TRUE(holds(disc, ",," + std::string(set.value().pictures[1].packed ? "1" : "0") + ",0\r102DATA"));
        }
    EXPECT_TRUE(makeDiscSet(slides, DiscSettings{40, 3, false, DiscKind::Single}).value().files.front() ==
                slideshowDiscs(slides, 40, 3).value().front().bytes);
}

// 60 tiny screens fill the 60 files of a double-sided disc's two sides,
// but not a loader with their NuLA colours: BASIC's memory below &3000
// holds only some of its lines, so the rest go onto a second disc.
TEST(DiscLayout, NulaSlideshowLoaderStaysWithinBasicsMemory)
{
    Conversion tiny = screenOf(2, false);
    std::fill(tiny.screen.pixels.begin(), tiny.screen.pixels.end(), 0);
    std::vector<Slide> slides;
    for (int i = 0; i < 60; ++i)
        slides.push_back({"pic" + std::to_string(i), &tiny});
    const auto standard = makeDiscSet(slides, DiscSettings{80, 0, true, DiscKind::DoubleSided});
    ASSERT_TRUE(standard.ok()) << standard.failure().message();
    EXPECT_EQ(standard.value().files.size(), 1u);
    tiny.screen.palette().nula = NulaTable{};
    const auto nula = makeDiscSet(slides, DiscSettings{80, 0, true, DiscKind::DoubleSided});
    ASSERT_TRUE(nula.ok()) << nula.failure().message();
    EXPECT_EQ(nula.value().files.size(), 2u);
    EXPECT_EQ(nula.value().pictures.size(), 60u);
}

}  // namespace
