// Usage errors, --help and --version of the real binary.
#include "converter_process.h"
#include "test_support.h"

#include "conversion/option_catalogue.h"

#include <gtest/gtest.h>

namespace {

struct UsageCase {
    const char* name;
    QStringList arguments;
    const char* complaint;  // part of the message that must say what is wrong
};

}  // namespace

TEST(CommandLine, UsageErrorsExitWithTwoAndTouchNothing)
{
    ScratchFolder folder;
    savePicture(testPicture(), folder.path(), "one.png", "png");
    savePicture(testPicture(), folder.path(), "two.png", "png");
    std::filesystem::create_directory(folder.path() / "a");
    savePicture(testPicture(), folder.path() / "a", "two.jpg", "jpeg");
    savePicture(testPicture(), folder.path(), "x.zx02", "png");  // where a stale stream would be removed
    const auto before = folder.entries();

    const UsageCase cases[] = {
        {"unknown option", {"--colours", "one.png"}, "Unknown option 'colours'"},
        {"mode 3", {"-m", "3", "one.png"}, "screen mode must be 0, 1, 2, 4, 5 or 7, not '3'"},
        {"mode not a number", {"--mode=two", "one.png"}, "screen mode must be 0, 1, 2, 4, 5 or 7, not 'two'"},
        {"bad half-tone", {"-t", "dots", "one.png"}, "half-tone must be none, fine, coarse, spiral or diagonal, not 'dots'"},
        {"no picture", {"-m", "1"}, "no picture given"},
        {"several pictures without -d", {"one.png", "two.png"}, "several pictures need --output-dir"},
        {"duplicate stems", {"-d", ".", "two.png", "a/two.jpg"}, "two.png and a/two.jpg would both be written to ./two.screen"},
        {"-o with -d", {"-o", "x.screen", "-d", ".", "one.png"}, "--output and --output-dir cannot be used together"},
        {"-p with several pictures", {"-d", ".", "-p", "x.png", "one.png", "two.png"}, "--preview names one file"},
        {"--previews without -d", {"--previews", "one.png"}, "--previews needs --output-dir"},
        {"zero jobs", {"-j", "0", "one.png"}, "--jobs needs a whole number"},
        {"preview over the screen file", {"-o", "x", "-p", "x.inf", "one.png"}, "x.inf is named for two outputs"},
        {"preview over the picture", {"-p", "one.png", "one.png"}, "one.png would be overwritten by one.png"},
        {"unknown method", {"--dither", "dots", "one.png"}, "--dither must be classic, floyd-steinberg"},
        {"palette count", {"-m", "1", "--dither", "dbs", "--palette", "0,1", "one.png"}, "--palette: mode 1 needs 4 colours, not 2"},
        {"palette in mode 2", {"--dither", "bayer", "--palette", "best", "one.png"}, "--palette: mode 2 always shows"},
        {"palette colour", {"-m", "4", "--dither", "bayer", "--palette", "0,9", "one.png"}, "--palette must be default, best"},
        {"palette with classic", {"-m", "4", "--palette", "best", "one.png"}, "--palette: needs a method other than classic"},
        {"palette in mode 7", {"-m", "7", "--palette", "0,1", "one.png"}, "--palette: mode 7 chooses its own colours"},
        {"method in mode 7", {"-m", "7", "--dither", "dbs", "one.png"}, "--dither: cannot be used with mode 7"},
        {"half-tone in mode 7", {"-m", "7", "-t", "fine", "one.png"}, "--halftone: cannot be used with mode 7"},
        {"stagger in mode 7", {"-m", "7", "-s", "one.png"}, "--stagger: cannot be used with mode 7"},
        {"default method in mode 7", {"-m", "7", "--dither", "classic", "one.png"}, "--dither: cannot be used with mode 7"},
        {"half-tone with a linear-light method", {"-t", "fine", "--dither", "bayer", "one.png"},
         "--halftone: only --dither classic reads it"},
        {"stagger with a linear-light method", {"-s", "--dither", "dbs", "one.png"}, "--stagger: only --dither classic reads it"},
        {"damping with the classic half-tone", {"--damping", "0.5", "one.png"}, "--damping: only --dither floyd-steinberg"},
        {"damping with ordered dithering", {"--dither", "bayer", "--damping", "1", "one.png"}, "--damping: only --dither"},
        {"bars without fit", {"--bar", "3", "--fit", "fill", "one.png"}, "--bar: only --fit fit leaves bars"},
        {"default palette with classic", {"-m", "1", "--palette", "default", "one.png"}, "--palette: needs a method other than classic"},
        {"unknown fit", {"--fit", "zoom", "one.png"}, "--fit must be stretch, fit or fill"},
        {"bars the palette lacks",
         {"-m", "1", "--dither", "floyd-steinberg", "--palette", "0,4,6,7", "--fit", "fit", "--bar", "1", "one.png"},
         "--bar: Red (1) is not in the palette 0,4,6,7"},
        {"bars the mode lacks", {"-m", "4", "--fit", "fit", "--bar", "2", "one.png"},
         "--bar: Green (2) is not in mode 4's colours"},
        {"gamma out of range", {"--gamma", "0", "one.png"}, "--gamma must be a number from 0.2 to 5"},
        {"contrast not a number", {"--contrast", "high", "one.png"}, "--contrast must be a number from 0 to 4"},
        {"nula with a palette", {"-m", "1", "--dither", "bayer", "--palette", "best", "--nula", "one.png"}, "--palette: cannot be used with --nula"},
        {"nula with the classic half-tone", {"-m", "1", "-t", "fine", "--nula", "one.png"}, "--nula: VideoNuLA colours need a method other than classic"},
        {"nula in mode 7", {"-m", "7", "--nula", "one.png"}, "--nula: mode 7 has no VideoNuLA colours"},
        {"nula slideshow in mode 7", {"-m", "7", "--nula", "--disc", "s.ssd", "one.png", "two.png"}, "--nula: mode 7 has no VideoNuLA colours"},
        {"real preview for several pictures", {"-d", ".", "--real-preview", "x.png", "one.png", "two.png"},
         "--real-preview names one file"},
        {"real preview over the preview", {"-p", "x.png", "--real-preview", "x.png", "one.png"}, "x.png is named for two outputs"},
        {"removal of the picture itself", {"-o", "x", "x.zx02"}, "x.zx02 would be overwritten by x.zx02"},
        {"nula file over the preview", {"--dither", "bayer", "--nula", "-o", "x", "-p", "x.nula", "one.png"}, "x.nula is named for two outputs"},
    };
    for (const auto& usage : cases) {
        SCOPED_TRACE(usage.name);
        const ConverterRun run = runConverter(folder.path(), usage.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_FALSE(run.crashed);
        EXPECT_NE(run.err.find(std::string("rasterine-convert: ") + usage.complaint), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Try 'rasterine-convert --help'"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(folder.entries(), before);
    }
}

TEST(CommandLine, HelpAndVersionGoToStandardOutput)
{
    ScratchFolder folder;
    const ConverterRun version = runConverter(folder.path(), {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "rasterine-convert 1.2.0\n");
    EXPECT_EQ(version.err, "");
    EXPECT_EQ(runConverter(folder.path(), {"-v"}).out, version.out);

    const ConverterRun help = runConverter(folder.path(), {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: rasterine-convert [options] PICTURE...\n", 0), 0u) << help.out;
    for (const char* option : {"--mode", "--halftone", "--stagger", "--output <FILE>", "--preview",
                               "--output-dir", "--previews", "--jobs", "--verbose", "Exit status"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    // Every row of the catalogue is in the help.
    std::vector<std::string> names;
    for (const OptionRow& row : kOptionRows)
        names.push_back("--" + std::string(row.name));
    for (const NumberRow& row : kNumberRows)
        names.push_back("--" + std::string(row.name));
    for (const MethodRow& row : kMethodRows)
        names.emplace_back(row.name);
    for (const HalftoneRow& row : kHalftoneRows)
        names.emplace_back(row.name);
    for (const FitRow& row : kFitRows)
        names.emplace_back(row.name);
    for (const std::string& name : names)
        EXPECT_NE(help.out.find(name), std::string::npos) << name;
    EXPECT_TRUE(folder.entries().empty());
}
