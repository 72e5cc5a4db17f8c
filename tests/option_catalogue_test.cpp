// The catalogue of options as a table, and the engine's entry read through it.
#include "conversion/entry/convert.h"
#include "conversion/option_catalogue.h"
#include "tests/engine_steps.h"
#include "conversion/screen_modes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>

namespace {

template <typename Rows>
void expectUniqueNamesAndCaptions(const Rows& rows)
{
    std::set<std::string_view> names, captions;
    for (const auto& row : rows) {
        EXPECT_TRUE(row.name.empty() || names.insert(row.name).second) << row.name;
        EXPECT_TRUE(captions.insert(row.caption).second) << row.caption;
        EXPECT_FALSE(row.caption.empty());
    }
}

// A picture in linear light with hue and light changing across it: tall
// when `shape` is below 1, so that fitting it whole leaves bars beside it.
SourcePicture testSource(double shape = 1.25)
{
    const int height = 200;
    const int width = static_cast<int>(height * shape);
    auto detail = std::make_shared<LinearImage>(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            detail->at(x, y) = {float(x) / float(width), float(y) / float(height),
                                0.5f + 0.5f * float(std::sin(0.05 * (x + 2 * y)))};
    SourcePicture source{BufferSurface(320, 256), detail};
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 320; ++x)
            source.canvas.scanLine(y)[x] = 0xFF000000u | std::uint32_t(x * 255 / 319) << 16 | std::uint32_t(y) << 8 | 0x80;
    return source;
}

}  // namespace

TEST(OptionCatalogue, EveryTableHasUniqueNamesThatReadBack)
{
    expectUniqueNamesAndCaptions(kMethodRows);
    expectUniqueNamesAndCaptions(kHalftoneRows);
    expectUniqueNamesAndCaptions(kFitRows);
    expectUniqueNamesAndCaptions(kPaletteKindRows);
    expectUniqueNamesAndCaptions(kOptionRows);
    // A row for every method, in the order of their values, the last one last.
    for (std::size_t i = 0; i < kMethodRows.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(kMethodRows[i].method), i);
        EXPECT_EQ(methodNamed(methodName(kMethodRows[i].method)), kMethodRows[i].method);
    }
    EXPECT_EQ(kMethodRows.back().method, Method::Dbs);
    for (const HalftoneRow& row : kHalftoneRows)
        EXPECT_EQ(halftoneNamed(row.name), row.halftone);
    for (const FitRow& row : kFitRows)
        EXPECT_EQ(fitNamed(row.name), row.fit);
    std::set<std::string_view> options;
    for (const OptionRow& row : kOptionRows)
        EXPECT_TRUE(options.insert(optionName(row.option)).second);
    for (const NumberRow& row : kNumberRows) {
        EXPECT_TRUE(options.insert(optionName(row.option)).second) << row.name;
        EXPECT_TRUE(row.min <= row.start && row.start <= row.max) << row.name;
        Settings settings;
        EXPECT_EQ(numberOf(settings, row.option), row.start) << "the defaults are the neutral values";
        setNumber(settings, row.option, row.max);
        EXPECT_EQ(numberOf(settings, row.option), row.max);
    }
    EXPECT_EQ(methodNamed("FLOYD-steinberg"), Method::FloydSteinberg);
    EXPECT_EQ(paletteText(*paletteNamed("0,4,6,7")), "0,4,6,7");
    EXPECT_FALSE(settingsProblem(Settings{}));
}

// Every method converts in every bitmap mode, and what it claims not to read
// changes nothing it makes.
TEST(OptionCatalogue, EveryMethodRunsInEveryModeAndIgnoresWhatItDoesNotRead)
{
    const SourcePicture source = testSource();
    for (const MethodRow& method : kMethodRows)
        for (const ScreenMode& mode : kScreenModes) {
            SCOPED_TRACE(std::string(method.name) + " in mode " + std::to_string(mode.number));
            if (method.slow() && mode.number != 5)
                continue;  // direct binary search takes its time: once is enough here
            Settings settings;
            settings.mode = mode.number;
            settings.method = method.method;
            const Result<Conversion> made = convert(settings, source);
            ASSERT_TRUE(made.ok()) << made.failure().message();
            EXPECT_EQ(made.value().bytes().size(), std::size_t(mode.screenBytes()));
            for (const std::uint8_t pixel : made.value().screen.pixels)
                ASSERT_LT(pixel, mode.numcols);
            if (method.slow())
                continue;
            Settings unread = settings;
            if (!readsOption(settings, Option::Halftone))
                unread.halftone = Halftone::Spiral;
            if (!readsOption(settings, Option::Stagger))
                unread.stagger = true;
            if (!readsOption(settings, Option::Damping))
                unread.damping = 0.25f;
            unread.barColour = 7;  // not read with Stretch
            EXPECT_EQ(withUnreadAtDefaults(unread), settings);
            EXPECT_EQ(convert(unread, source).value().bytes(), made.value().bytes());
        }
}

// A picture fitted whole has bars of one flat colour of the palette on show,
// whatever the method; a bar colour that palette lacks is refused.
TEST(OptionCatalogue, BarsAreOneFlatColourOfThePaletteOnShow)
{
    const SourcePicture tall = testSource(0.3);
    for (const Method method : {Method::Classic, Method::FloydSteinberg, Method::Jarvis, Method::Bayer})
        for (const ScreenMode& mode : kScreenModes)
            for (const char* palette : {"default", "best", "0,4", "4,3,6,7"})
                for (std::uint8_t bar = 0; bar < 8; ++bar) {
                    Settings settings;
                    settings.mode = mode.number;
                    settings.method = method;
                    settings.palette = *paletteNamed(palette);
                    settings.fit = Fit::Whole;
                    settings.barColour = bar;
                    const auto problem = settingsProblem(settings);
                    const Result<Conversion> made = convert(settings, tall);
                    ASSERT_EQ(made.ok(), !problem);
                    if (problem) {
                        if (problem->option == Option::Bar)
                            EXPECT_NE(problem->reason.find(std::string(kColourNames[bar])), std::string::npos);
                        continue;
                    }
                    SCOPED_TRACE(std::string(methodName(method)) + " mode " + std::to_string(mode.number) + " " +
                                 palette + " bar " + std::to_string(bar));
                    const Screen& image = made.value().screen;
                    const int edge = image.width() / 10;
                    for (int y = 0; y < kScreenLines; ++y)
                        for (const int x : {0, edge, image.width() - 1 - edge, image.width() - 1})
                            ASSERT_EQ(image.palette().physical[image.at(x, y)], bar) << x << ", " << y;
                }
}

TEST(OptionCatalogue, TheEntryRefusesWhatTheRuleRefusesAndStopsWhenAsked)
{
    const SourcePicture source = testSource();
    Settings sevenWithMethod;
    sevenWithMethod.mode = 7;
    sevenWithMethod.method = Method::Bayer;
    const Result<Conversion> refused = convert(sevenWithMethod, source);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.failure().subject, "--dither");
    EXPECT_EQ(refused.failure().reason, settingsProblem(sevenWithMethod)->reason);

    std::stop_source stop;
    stop.request_stop();
    const Result<Conversion> stopped = convert(Settings{}, source, {}, stop.get_token());
    ASSERT_FALSE(stopped.ok());
    EXPECT_TRUE(wasStopped(stopped.failure()));

    // A stop asked for while direct binary search runs ends it there, without
    // throwing: the search hears no more than a row after the request.
    std::stop_source during;
    int reportsAfterStop = 0;
    Settings searched;
    searched.mode = 5;
    searched.method = Method::Dbs;
    const Result<Conversion> abandoned = convert(
        searched, source,
        [&](double) {
            reportsAfterStop += during.stop_requested();
            during.request_stop();
        },
        during.get_token());
    ASSERT_FALSE(abandoned.ok());
    EXPECT_TRUE(wasStopped(abandoned.failure()));
    EXPECT_LE(reportsAfterStop, 2) << "the searches go on after the stop";

    SourcePicture noDetail = source;
    noDetail.detail.reset();
    Settings diffused;
    diffused.method = Method::Atkinson;
    EXPECT_FALSE(convert(diffused, noDetail).ok());
    EXPECT_TRUE(convert(Settings{}, noDetail).ok()) << "the classic pass reads only the canvas";
}
