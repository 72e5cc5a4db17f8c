#include "outputs/screen_files.h"

#include "outputs/side_file.h"
#include "outputs/nula_files.h"
#include "outputs/nula_setup.h"
#include "platform/file_output.h"

#include <cstdio>
#include <vector>

std::string infFileName(const std::string& screenFile)
{
    return screenFile + ".inf";
}

std::string infFileText(const Conversion& conversion)
{
    return infLine(conversion.screenStart(), static_cast<std::uint32_t>(conversion.screen.screenBytes())) + "\n";
}

std::string packedFileName(const std::string& screenFile)
{
    return screenFile + ".zx02";
}

std::string packedInfText(std::size_t streamBytes)
{
    char line[48];
    std::snprintf(line, sizeof line, "$.SCREENZ  %06X 000000 %06X\n", static_cast<unsigned>(0x8000 - streamBytes),
                  static_cast<unsigned>(streamBytes));
    return line;
}

namespace {

std::span<const std::uint8_t> textBytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

Status writeScreenFiles(const std::string& screenFile, const Conversion& conversion, std::span<const std::uint8_t> stream)
{
    const std::string inf = infFileText(conversion);
    const std::vector<std::uint8_t> memory = conversion.bytes();
    std::vector<FileContent> files{{screenFile, memory}, {infFileName(screenFile), textBytes(inf)}};
    std::vector<std::uint8_t> nula;
    const std::string nulaInf = nulaInfText();
    if (conversion.screen.hasNula()) {
        const auto registers = nulaRegisterBytes(conversion.screen);
        nula.assign(registers.begin(), registers.end());
        files.push_back({nulaFileName(screenFile), nula});
        files.push_back({infFileName(nulaFileName(screenFile)), textBytes(nulaInf)});
    }
    std::string streamInf;
    if (!stream.empty()) {
        streamInf = packedInfText(stream.size());
        files.push_back({packedFileName(screenFile), stream});
        files.push_back({infFileName(packedFileName(screenFile)), textBytes(streamInf)});
    }
    return replaceFiles(files);
}
