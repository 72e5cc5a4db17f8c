#include "tests/engine_steps.h"
#include "test_support.h"

#include "conversion/classic/conversion_pass.h"
#include "outputs/screen_files.h"
#include "outputs/side_file.h"
#include "platform/file_output.h"

#include "conversion/classic/colour_match.h"
#include "conversion/screen_layout.h"
#include "conversion/screen_modes.h"

#include <algorithm>
#include <cassert>
#include <fstream>
#include <iterator>

#include <stdlib.h>

std::unique_ptr<ConversionState> startState()
{
    auto state = std::make_unique<ConversionState>();
    state->setStartValues();
    return state;
}

void fillRandomPlanes(ConversionState& state, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> component(0, 255);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            state.red(x, y) = component(random);
            state.green(x, y) = component(random);
            state.blue(x, y) = component(random);
        }
}

void fillPlanes(ConversionState& state, int r, int g, int b)
{
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            state.red(x, y) = r;
            state.green(x, y) = g;
            state.blue(x, y) = b;
        }
}

namespace {

int clamp255(int v)
{
    return std::clamp(v, 0, 255);
}

int referencePixel(const ConversionState& s, int numcols, int px, int y, PixelSurface& preview)
{
    const bool wide = s.aspect > 0 && (s.curmode == 2 || s.curmode == 5);
    int sx = px;
    if (s.aspect > 0) {
        if (s.curmode == 2 || s.curmode == 5)
            sx = 2 * px;
        else if (s.curmode == 0)
            sx = px / 2;
    }
    if (sx >= s.picwidth)
        return 0;
    int r = s.red(sx, y), g = s.green(sx, y), b = s.blue(sx, y);
    if (wide) {
        r = (r + s.red(sx + 1, y)) / 2;
        g = (g + s.green(sx + 1, y)) / 2;
        b = (b + s.blue(sx + 1, y)) / 2;
    }
    if (s.stagger) {
        r += s.mat(px % 16, y % 16);
        g += s.mat((px + 1) % 16, (y + 2) % 16);
        b += s.mat((px + 2) % 16, (y + 1) % 16);
    } else {
        const int t = s.mat(px % 16, y % 16);
        r += t;
        g += t;
        b += t;
    }
    Color colour;
    const int lc = matchcol(s, clamp255(r), clamp255(g), clamp255(b), numcols, colour);
    preview.setPixel(sx, y, colour);
    if (wide)
        preview.setPixel(sx + 1, y, colour);
    return lc;
}

}  // namespace

std::vector<std::uint8_t> referencePass(const ConversionState& s, PixelSurface& preview)
{
    const ModeGeometry g = modeGeometry(s.curmode);
    std::vector<std::uint8_t> bytes;
    for (int cr = 0; cr < 32; ++cr)
        for (int k = 0; k < 8 * g.rowbytes; ++k) {
            const int y = 8 * cr + k % 8;
            const int x0 = (k / 8) * g.pixperbyte;
            if (y >= s.picheight) {
                bytes.push_back(0);
                continue;
            }
            std::int32_t bytecols[8] = {};
            for (int i = 0; i < g.pixperbyte; ++i)
                bytecols[i] = referencePixel(s, g.numcols, x0 + i, y, preview);
            bytes.push_back(packbyte(s.curmode, bytecols));
        }
    return bytes;
}

std::vector<std::vector<int>> decodeScreen(int mode, const std::vector<std::uint8_t>& bytes)
{
    const ModeGeometry g = modeGeometry(mode);
    const int width = g.rowbytes * g.pixperbyte;
    std::vector<std::vector<int>> colours(static_cast<std::size_t>(width), std::vector<int>(256));
    for (int y = 0; y < 256; ++y)
        for (int m = 0; m < g.rowbytes; ++m) {
            const unsigned byte = bytes.at(screenByteOffset(g.rowbytes, y, m));
            for (int i = 0; i < g.pixperbyte; ++i) {
                int lc = 0;
                if (g.pixperbyte == 8)
                    lc = (byte >> (7 - i)) & 1;
                else if (g.pixperbyte == 4)
                    lc = (((byte >> (7 - i)) & 1) << 1) | ((byte >> (3 - i)) & 1);
                else
                    lc = (((byte >> (5 - i)) & 1) << 2) | (((byte >> (3 - i)) & 1) << 1) |
                         ((byte >> (1 - i)) & 1);
                colours[static_cast<std::size_t>(m * g.pixperbyte + i)][static_cast<std::size_t>(y)] = lc;
            }
        }
    return colours;
}

ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "rasterine-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> ScratchFolder::entries() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeText(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

std::optional<Failure> failureOf(const Status& status)
{
    if (status)
        return std::nullopt;
    return status.failure();
}

std::optional<Failure> convertAndWrite(ConversionState& state, PixelSurface& preview,
                                       const std::string& screenFile)
{
    const auto written = replaceFiles(screenFileSet(screenFile, convertScreen(state, preview)));
    return written ? std::nullopt : std::optional<Failure>(written.failure());
}

std::string screenInfLine(int mode)
{
    const ModeRecord* record = findModeRecord(mode);
    assert(record != nullptr);
    return infLine(record->screenStart, static_cast<std::uint32_t>(record->screenBytes));
}

std::uint8_t packbyte(int curmode, const std::int32_t* bytecols)
{
    const ScreenMode* mode = findScreenMode(curmode);
    assert(mode != nullptr);
    return packPixels(*mode, bytecols);
}
