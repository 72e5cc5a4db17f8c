// The cycle model of our 6502 unpacking routine against jsbeeb's 6502: for
// screens of several modes and methods made by the real rasterine-convert,
// the routine (run by unpack_cycles.mjs from a disc of packed files) takes
// exactly the cycles the model counts and unpacks each screen byte for byte.
#include "emulated_boot.h"

#include "outputs/dfs_image.h"
#include "outputs/m6502/unpack_routine.h"
#include "outputs/packed_screen.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

// Soft shading with fine ripples and sharp-edged bands, as photos have,
// or one flat colour (whose stream fits in page &7F, read from the copy).
void writePhoto(const std::string& file, bool flat)
{
    QImage image(480, 360, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int ripple = static_cast<int>(40 * std::sin(x * 0.21) * std::cos(y * 0.13));
            image.setPixel(x, y, flat ? qRgb(90, 90, 200)
                                      : qRgb(std::clamp(x * 255 / 479 + ripple, 0, 255), y * 255 / 359,
                                             ((x / 60 + y / 45) % 2) * 180 + 40));
        }
    ASSERT_TRUE(image.save(QString::fromStdString(file)));
}

struct Look {
    std::string name;  // its DFS name
    std::string options;
    bool flat = false;
};

// "$.NAME cycles C wall W bytes N" lines, by name: C.
std::map<std::string, std::uint64_t> cyclesReported(const std::filesystem::path& log)
{
    std::map<std::string, std::uint64_t> cycles;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string name, label;
        std::uint64_t count = 0;
        if (words >> name >> label >> count && label == "cycles")
            cycles[name] = count;
    }
    return cycles;
}

TEST(UnpackCycles, ModelCountsTheEmulatedCyclesAndTheScreensUnpack)
{
    if (!emulatorInstalled())
        GTEST_SKIP() << "jsbeeb is not installed (the npm registry could not be reached)";
    ScratchFolder folder;
    writePhoto(folder.file("photo.png"), false);
    writePhoto(folder.file("flat.png"), true);
    const std::vector<Look> looks{{"FINE", "-m 2 -t fine"},
                                  {"FLOYD", "-m 1 --dither floyd-steinberg"},
                                  {"BAYER", "-m 5 --dither bayer"},
                                  {"ATKIN", "-m 4 --dither atkinson"},
                                  {"FLAT", "-m 2", true}};
    const Assembly& routine = unpackRoutine();
    DiscCatalogue catalogue{"CYCLES", 80, BootOption::None,
                            {{"UNPACK", '$', false, 0xFF0000u | routine.origin, 0xFF0000u | routine.origin, routine.bytes}}};
    std::map<std::string, std::pair<std::vector<std::uint8_t>, PackedScreen>> screens;
    for (const Look& look : looks) {
        const std::string command = "cd '" + folder.path().string() + "' && '" RASTERINE_CONVERT "' " + look.options +
                                    " -o " + look.name + ".screen " + (look.flat ? "flat.png" : "photo.png") + " >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const std::vector<std::uint8_t> memory = readBytes(folder.path() / (look.name + ".screen"));
        const auto packed = placePackedScreen(memory, kScreenTop - static_cast<std::uint32_t>(memory.size()));
        ASSERT_TRUE(packed.has_value()) << look.name;
        catalogue.files.push_back({look.name, '$', false, packed->load, packed->exec, packed->file});
        screens["$." + look.name] = {memory, *packed};
    }
    EXPECT_GE(screens["$.FLAT"].second.load & 0xFFFF, 0x7F00u) << "a stream read wholly from the copy";
    const auto disc = buildDisc(catalogue);
    ASSERT_TRUE(disc.ok());
    std::ofstream(folder.path() / "cycles.ssd", std::ios::binary)
        .write(reinterpret_cast<const char*>(disc.value().data()), static_cast<std::streamsize>(disc.value().size()));

    const std::string run = "'" RASTERINE_NODE "' '" RASTERINE_UNPACK_SCRIPT "' '" RASTERINE_JSBEEB_DIR "' '" +
                            folder.file("cycles.ssd") + "' '" + folder.path().string() + "' >'" +
                            folder.file("cycles.log") + "' 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0) << run;
    const auto reported = cyclesReported(folder.path() / "cycles.log");
    ASSERT_EQ(reported.size(), looks.size());
    for (const auto& [name, screen] : screens) {
        ASSERT_TRUE(reported.contains(name)) << name;
        EXPECT_EQ(unpackCycles(screen.second), reported.at(name)) << name;
        EXPECT_TRUE(readBytes(folder.path() / (name + ".unpacked")) == screen.first) << name << " unpacks to another screen";
    }
}

}  // namespace
