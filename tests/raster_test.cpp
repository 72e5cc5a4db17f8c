// Colours by line: every raster screen fits the raster budget and is never
// further from its picture than the one-palette screen the same settings
// make; where the picture's colours change by band the palette follows
// them; the per-row score matches the plain one; the note says when one
// palette was kept; each line's VideoNuLA colours fitted to the pixels
// bring the picture closer within the budget.
#include "conversion/entry/convert.h"
#include "conversion/methods/error_diffusion.h"
#include "conversion/methods/picture_score.h"
#include "conversion/nula/nula_palette.h"
#include "conversion/nula/nula_screen.h"
#include "conversion/option_catalogue.h"
#include "conversion/raster/line_colour_fit.h"
#include "conversion/raster/raster_screen.h"
#include "conversion/raster_budget.h"
#include "conversion/screen_modes.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

// Bands of strongly different hues down the picture, each a soft ramp
// across: one palette of four standard colours cannot hold them all.
LinearImage bandedPicture()
{
    LinearImage image(320, 256);
    const LinearRgb hues[] = {{0.9f, 0.1f, 0.1f}, {0.1f, 0.8f, 0.2f}, {0.1f, 0.2f, 0.9f}, {0.9f, 0.8f, 0.1f},
                              {0.7f, 0.1f, 0.8f}, {0.1f, 0.8f, 0.8f}, {0.9f, 0.5f, 0.1f}, {0.5f, 0.5f, 0.5f}};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const LinearRgb& hue = hues[y / 32];
            const float shade = 0.15f + 0.85f * static_cast<float>(x) / 319.0f;
            image.at(x, y) = LinearRgb{hue.r * shade, hue.g * shade, hue.b * shade};
        }
    return image;
}

// A gentle picture of few colours, where one palette is hard to beat.
LinearImage fieldsPicture()
{
    LinearImage image(300, 200);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.at(x, y) = LinearRgb{x / 299.0f, (y % 100) / 99.0f, ((x / 50 + y / 75) % 3) * 0.45f};
    return image;
}

SourcePicture sourceOf(LinearImage picture)
{
    return SourcePicture{BufferSurface(kCanvasWidth, kCanvasHeight), std::make_shared<LinearImage>(std::move(picture))};
}

Conversion converted(const Settings& settings, const SourcePicture& source)
{
    Result<Conversion> made = convert(settings, source);
    EXPECT_TRUE(made.ok()) << made.failure().message();
    return made.ok() ? std::move(made).value() : Conversion{};
}

double pictureScore(const Screen& screen, const LinearImage& picture)
{
    const ScoreReference reference(areaAverage(picture, kDisplayWidth, kDisplayLines));
    return reference.distance(displayOf(screen));
}

}  // namespace

// Over both pictures, every mode where colours may change by line, with and
// without VideoNuLA: error diffusion on the bands, ordered dithering on the
// fields, and direct binary search on the bands in mode 1's standard
// colours (NuLA's dbs search has its own test below): one method each, for
// the time a conversion takes under the sanitizers.
TEST(Raster, EveryScreenFitsTheBudgetAndIsNeverWorseThanOnePalette)
{
    int changing = 0;
    for (const auto& [name, picture] : {std::pair{"bands", bandedPicture()}, std::pair{"fields", fieldsPicture()}}) {
        const SourcePicture source = sourceOf(picture);
        const bool bands = std::string(name) == "bands";
        for (const ScreenMode& mode : kScreenModes)
            for (const bool nula : {false, true})
                for (const Method method : {Method::FloydSteinberg, Method::Bayer, Method::Dbs}) {
                    Settings settings;
                    settings.mode = mode.number;
                    settings.method = method;
                    settings.nula = nula;
                    settings.raster = true;
                    const bool runs = method == Method::Dbs ? bands && mode.number == 1 && !nula
                                                            : (method == Method::FloydSteinberg) == bands;
                    if (!readsOption(settings, Option::Raster) || !runs)
                        continue;
                    SCOPED_TRACE(std::string(name) + " mode " + std::to_string(mode.number) + " " +
                                 std::string(methodName(method)) + (nula ? " nula" : ""));
                    const Conversion raster = converted(settings, source);
                    settings.raster = false;
                    const Conversion onePalette = converted(settings, source);
                    EXPECT_TRUE(fitsRasterBudget(raster.screen));
                    for (const std::uint8_t pixel : raster.screen.pixels)
                        ASSERT_LT(pixel, raster.screen.logicalColours());
                    EXPECT_EQ(raster.bytes().size(), std::size_t(mode.screenBytes()));
                    const double byLine = pictureScore(raster.screen, picture);
                    const double one = pictureScore(onePalette.screen, picture);
                    EXPECT_LE(byLine, one + 1e-9);
                    if (raster.screen.palettes.size() == 1) {
                        EXPECT_EQ(raster.screen, onePalette.screen) << "kept one palette, but not the same one";
                        EXPECT_FALSE(raster.note.empty());
                    } else {
                        EXPECT_TRUE(raster.note.empty());
                        ++changing;
                    }
                }
    }
    EXPECT_GT(changing, 0) << "colours by line never won";
}

// The bands defeat any one palette of four standard colours: by line, the
// palette follows them and the picture comes closer.
TEST(Raster, StandardColoursFollowBandsOfHue)
{
    const SourcePicture source = sourceOf(bandedPicture());
    Settings settings;
    settings.mode = 1;
    settings.method = Method::FloydSteinberg;
    settings.palette.kind = PaletteChoice::Kind::Best;
    settings.raster = true;
    const Conversion raster = converted(settings, source);
    settings.raster = false;
    const Conversion onePalette = converted(settings, source);
    EXPECT_GT(raster.screen.palettes.size(), 4u);
    EXPECT_TRUE(fitsRasterBudget(raster.screen));
    EXPECT_LT(pictureScore(raster.screen, bandedPicture()), 0.9 * pictureScore(onePalette.screen, bandedPicture()));
}

// The quick score of logical colours in a palette a row matches the score of
// the same picture painted out in full, row palettes and all.
TEST(Raster, PerRowScoreMatchesThePlainScore)
{
    const LinearImage grid = areaAverage(bandedPicture(), 160, kScreenLines);
    std::vector<MethodPalette> rows;
    for (int y = 0; y < kScreenLines; ++y)
        rows.push_back(methodPalette({0, static_cast<std::uint8_t>(1 + y / 64), 4, 7}, 4));
    const RowPalettes palettes(rows);
    ASSERT_FALSE(palettes.single());
    const IndexImage dithered = diffuseError(grid, palettes, DiffusionKernel::FloydSteinberg);
    const ScoreReference reference(areaAverage(grid, kDisplayWidth, kDisplayLines));
    ScoreScratch scratch;
    EXPECT_DOUBLE_EQ(reference.distance(dithered, palettes, 4, 2, scratch),
                     reference.distance(expandToDisplay(dithered, palettes, 4, 2)));
}

// In every mode with NuLA colours by line: pixels dithered in one set of
// colours on every line, each line's colours fitted to them come closer to
// the picture, change at most the budget's colours from line to line, and
// leave the entries past the mode's colours alone.
TEST(Raster, FittedNulaLineColoursComeCloserWithinTheBudget)
{
    for (const ScreenMode& mode : kScreenModes) {
        const int changeable = rasterBudget(mode).nulaColours;
        if (changeable == 0)
            continue;
        SCOPED_TRACE("mode " + std::to_string(mode.number));
        const int count = nulaColourCount(mode), width = mode.screenPixelsPerLine();
        const LinearImage grid = areaAverage(bandedPicture(), width, kScreenLines);
        NulaTable start = startingNulaColours(grid, mode);
        start[kNulaEntries - 1] = NulaColour{1, 2, 3};  // past mode 0's and 1's colours
        const std::vector<NulaTable> unfitted(kScreenLines, start);
        const auto palettes = [&](const std::vector<NulaTable>& lines) {
            std::vector<MethodPalette> rows;
            for (const NulaTable& line : lines)
                rows.push_back(nulaMethodPalette(line, count));
            return RowPalettes(rows);
        };
        const IndexImage pixels = diffuseError(grid, palettes(unfitted), DiffusionKernel::FloydSteinberg);
        const int scaleX = kDisplayWidth / width, scaleY = kDisplayLines / kScreenLines;
        const std::vector<NulaTable> fitted =
            fittedLineColours(grid, pixels, unfitted, count, changeable, scaleX, scaleY);

        ASSERT_EQ(fitted.size(), unfitted.size());
        for (std::size_t y = 0; y < fitted.size(); ++y) {
            int changed = 0;
            for (std::size_t i = 0; i < kNulaEntries; ++i) {
                if (i >= static_cast<std::size_t>(count)) {
                    ASSERT_EQ(fitted[y][i], start[i]);
                }
                changed += y > 0 && fitted[y][i] != fitted[y - 1][i] ? 1 : 0;
            }
            ASSERT_LE(changed, changeable) << "line " << y;
        }
        const ScoreReference reference(areaAverage(grid, kDisplayWidth, kDisplayLines));
        ScoreScratch scratch;
        EXPECT_LT(reference.distance(pixels, palettes(fitted), scaleX, scaleY, scratch),
                  0.8 * reference.distance(pixels, palettes(unfitted), scaleX, scaleY, scratch));
    }
}

// Where the picture is exactly what the pixels show in some colours, those
// colours are the fit's answer: line 0's colours, put three levels off,
// come back to the last bit, and every other line keeps its own; a colour
// line 0 does not show stays where it was put.
TEST(Raster, FitFindsTheColoursThatMadeThePicture)
{
    for (const ScreenMode& mode : kScreenModes) {
        const int changeable = rasterBudget(mode).nulaColours;
        if (changeable == 0)
            continue;
        SCOPED_TRACE("mode " + std::to_string(mode.number));
        const int count = nulaColourCount(mode), width = mode.screenPixelsPerLine();
        const bool everyColour = changeable >= count;
        std::mt19937 random(static_cast<unsigned>(mode.number));
        const auto level = [&] { return static_cast<std::uint8_t>(3 + random() % 10); };
        std::vector<NulaTable> truth(kScreenLines);
        for (NulaTable& line : truth)
            for (int i = 0; i < count; ++i)
                line[static_cast<std::size_t>(i)] = NulaColour{level(), level(), level()};
        if (!everyColour)  // lines that change no more than the budget: here none
            std::fill(truth.begin(), truth.end(), truth.front());
        const int unshown = everyColour ? count - 1 : -1;  // on line 0
        IndexImage pixels(width, kScreenLines);
        LinearImage grid(width, kScreenLines);
        for (int y = 0; y < kScreenLines; ++y)
            for (int x = 0; x < width; ++x) {
                int colour = x < count ? x : static_cast<int>(random() % static_cast<unsigned>(count));
                if (y == 0 && colour == unshown)
                    colour = 0;
                pixels.at(x, y) = static_cast<std::uint8_t>(colour);
                grid.at(x, y) = nulaLinear(truth[static_cast<std::size_t>(y)][static_cast<std::size_t>(colour)]);
            }
        std::vector<NulaTable> start = truth;
        for (int i = 0; i < count; ++i) {
            NulaColour& c = start[0][static_cast<std::size_t>(i)];
            c = NulaColour{static_cast<std::uint8_t>(c.red + 3), c.green, static_cast<std::uint8_t>(c.blue - 3)};
        }
        std::vector<NulaTable> expected = truth;
        if (unshown >= 0)
            expected[0][static_cast<std::size_t>(unshown)] = start[0][static_cast<std::size_t>(unshown)];

        const std::vector<NulaTable> fitted = fittedLineColours(grid, pixels, start, count, changeable,
                                                                kDisplayWidth / width, kDisplayLines / kScreenLines);
        for (std::size_t y = 0; y < fitted.size(); ++y)
            ASSERT_EQ(fitted[y], expected[y]) << "line " << y;
    }
}

// dbs with NuLA colours by line, where a line may change every colour
// (mode 5) and where it may change 4 of 16 (mode 2, which starts from the
// one-palette screen): the colours refined with the pixels win clearly over
// one palette and keep to the budget.
TEST(Raster, NulaSearchRefinesLineColoursWithinTheBudget)
{
    for (const int number : {2, 5}) {
        SCOPED_TRACE("mode " + std::to_string(number));
        const ScreenMode& mode = *findScreenMode(number);
        const LinearImage grid = areaAverage(bandedPicture(), mode.screenPixelsPerLine(), kScreenLines);
        const NulaTable colours = startingNulaColours(grid, mode);
        const IndexImage dithered =
            diffuseError(grid, nulaMethodPalette(colours, nulaColourCount(mode)), DiffusionKernel::FloydSteinberg);
        const Screen onePalette = nulaImageOf(mode, dithered.pixels, colours);
        Settings settings;
        settings.mode = number;
        settings.method = Method::Dbs;
        settings.nula = true;
        settings.raster = true;
        const Screen raster = rasterScreen(settings, mode, grid, onePalette);
        EXPECT_GT(raster.palettes.size(), 8u);
        EXPECT_TRUE(fitsRasterBudget(raster));
        const ScoreReference reference(areaAverage(grid, kDisplayWidth, kDisplayLines));
        EXPECT_LT(reference.distance(displayOf(raster)), 0.8 * reference.distance(displayOf(onePalette)));
    }
}

// Where colours may not change by line the option is refused, in words.
TEST(Raster, RefusedWhereNoPaletteChangesByLine)
{
    Settings settings;
    settings.raster = true;
    settings.method = Method::FloydSteinberg;
    settings.mode = 2;
    ASSERT_TRUE(settingsProblem(settings).has_value());
    EXPECT_EQ(settingsProblem(settings)->option, Option::Raster);
    settings.nula = true;
    EXPECT_FALSE(settingsProblem(settings).has_value());
    settings.method = Method::Classic;
    settings.nula = false;
    settings.mode = 1;
    EXPECT_TRUE(settingsProblem(settings).has_value());
    settings.method = Method::Dbs;
    settings.mode = 7;
    EXPECT_TRUE(settingsProblem(settings).has_value());
}
