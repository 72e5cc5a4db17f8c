#include "outputs/screen_files.h"

#include "outputs/nula_files.h"
#include "outputs/nula_setup.h"
#include "outputs/raster_file.h"
#include "outputs/side_file.h"

#include <array>
#include <optional>

namespace {

// Each part of the set is a file and its .inf: the screen, its NuLA
// colours, its ZX02 stream, its palette writes line by line, named by these
// endings after the screen file.
constexpr std::array<const char*, 4> kPartEndings{"", ".nula", ".zx02", ".raster"};

struct Part {
    std::vector<std::uint8_t> bytes;
    std::string inf;
};

std::vector<std::uint8_t> textBytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

std::optional<Part> nulaPart(const ScreenNames& names, const Conversion& conversion)
{
    if (!conversion.screen.hasNula())
        return std::nullopt;
    const auto registers = nulaRegisterBytes(conversion.screen);
    return Part{{registers.begin(), registers.end()}, nulaInfText(names.nula)};
}

std::optional<Part> packedPart(const ScreenNames& names, std::span<const std::uint8_t> stream)
{
    if (stream.empty())
        return std::nullopt;
    return Part{{stream.begin(), stream.end()}, packedInfText(names.packed, stream.size())};
}

std::optional<Part> rasterPart(const ScreenNames& names, const Conversion& conversion)
{
    if (!changesLineByLine(conversion.screen))
        return std::nullopt;
    auto bytes = rasterFileBytes(conversion.screen);
    const std::string inf = rasterInfText(rasterBbcName(names), bytes.size());
    return Part{std::move(bytes), inf};
}

}  // namespace

std::string rasterBbcName(const ScreenNames& names)
{
    return "R." + names.screen.substr(names.screen.find('.') + 1);
}

std::string infFileName(const std::string& file)
{
    return file + ".inf";
}

std::vector<std::string> screenSetFiles(const std::string& screenFile)
{
    std::vector<std::string> files;
    for (const char* ending : kPartEndings) {
        files.push_back(screenFile + ending);
        files.push_back(infFileName(screenFile + ending));
    }
    return files;
}

std::string infFileText(const Conversion& conversion, const std::string& bbcName)
{
    return infLine(bbcName, conversion.screenStart(), 0, static_cast<std::uint32_t>(conversion.screen.screenBytes())) + "\n";
}

std::string packedInfText(const std::string& bbcName, std::size_t streamBytes)
{
    const auto length = static_cast<std::uint32_t>(streamBytes);
    return infLine(bbcName, 0x8000u - length, 0, length) + "\n";
}

FileSet screenFileSet(const std::string& screenFile, const ScreenNames& names, const Conversion& conversion,
                      std::span<const std::uint8_t> stream)
{
    const std::array<std::optional<Part>, kPartEndings.size()> parts{
        Part{conversion.bytes(), infFileText(conversion, names.screen)}, nulaPart(names, conversion),
        packedPart(names, stream), rasterPart(names, conversion)};
    const std::vector<std::string> files = screenSetFiles(screenFile);
    FileSet set;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& file = files[2 * i];
        const std::string& inf = files[2 * i + 1];
        if (parts[i]) {
            set.files.push_back({file, parts[i]->bytes});
            set.files.push_back({inf, textBytes(parts[i]->inf)});
        } else {
            set.removals.insert(set.removals.end(), {file, inf});
        }
    }
    return set;
}

FileSet screenFileSet(const std::string& screenFile, const Conversion& conversion, std::span<const std::uint8_t> stream)
{
    return screenFileSet(screenFile, screenNames(screenFile), conversion, stream);
}
