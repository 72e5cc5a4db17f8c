#include "emulated_boot.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string quoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

std::vector<std::uint8_t> fileBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A binary PPM as boot_disc.mjs writes it: "P6\nW H\n255\n" and the pixels.
bool readPpm(const fs::path& file, EmulatedScreen& screen)
{
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int maximum = 0;
    in >> magic >> screen.width >> screen.height >> maximum;
    in.get();
    if (!in || magic != "P6" || maximum != 255)
        return false;
    screen.rgb.assign(static_cast<std::size_t>(screen.width) * static_cast<std::size_t>(screen.height) * 3, 0);
    in.read(reinterpret_cast<char*>(screen.rgb.data()), static_cast<std::streamsize>(screen.rgb.size()));
    return static_cast<bool>(in);
}

}  // namespace

std::uint32_t EmulatedScreen::pixel(int x, int y) const
{
    const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
    return 0xFF000000u | (std::uint32_t{rgb[at]} << 16) | (std::uint32_t{rgb[at + 1]} << 8) | rgb[at + 2];
}

bool emulatorInstalled()
{
    return fs::is_directory(fs::path(RASTERINE_JSBEEB_DIR) / "src");
}

std::optional<EmulatedScreen> bootOnEmulator(const fs::path& disc, const fs::path& work, double seconds,
                                             int keyPresses, std::string& problem, FrameArea area, NulaFitted nula,
                                             const std::vector<int>& laterFrames)
{
    std::string frames;
    for (const int count : laterFrames)
        frames += (frames.empty() ? "" : ",") + std::to_string(count);
    const fs::path out = work / "emulated";
    const fs::path log = work / "emulator.log";
    std::ostringstream command;
    command << quoted(RASTERINE_NODE) << ' ' << quoted(RASTERINE_BOOT_SCRIPT) << ' '
            << quoted(RASTERINE_JSBEEB_DIR) << ' ' << quoted(disc) << ' ' << quoted(out) << ' ' << seconds
            << ' ' << keyPresses << ' ' << (area == FrameArea::Teletext ? "teletext" : "active") << ' '
            << (nula == NulaFitted::On ? "on" : "off") << ' ' << quoted(frames) << " >"
            << quoted(log) << " 2>&1";
    if (std::system(command.str().c_str()) != 0) {
        const auto text = fileBytes(log);
        problem = "the emulator failed: " + std::string(text.begin(), text.end());
        return std::nullopt;
    }
    EmulatedScreen screen;
    screen.memory = fileBytes(out.string() + ".mem");
    if (screen.memory.size() != 0x5000 || !readPpm(out.string() + ".ppm", screen)) {
        problem = "the emulator's memory or frame dump is unreadable";
        return std::nullopt;
    }
    for (const int count : laterFrames) {
        EmulatedScreen later;
        if (!readPpm(out.string() + ".f" + std::to_string(count) + ".ppm", later) || later.width != screen.width ||
            later.height != screen.height) {
            problem = "the emulator's dump of frame " + std::to_string(count) + " is unreadable";
            return std::nullopt;
        }
        screen.laterFrames.push_back(std::move(later.rgb));
    }
    return screen;
}
