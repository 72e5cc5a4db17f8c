#include "outputs/screen_files.h"

#include "outputs/side_file.h"
#include "outputs/nula_files.h"
#include "outputs/nula_setup.h"
#include "platform/file_output.h"

#include <array>

std::string infFileName(const std::string& screenFile)
{
    return screenFile + ".inf";
}

std::string infFileText(const Conversion& conversion)
{
    return infLine(conversion.screenStart, static_cast<std::uint32_t>(conversion.bytes.size())) + "\n";
}

Status writeScreenFiles(const std::string& screenFile, const Conversion& conversion)
{
    const std::string inf = infFileText(conversion);
    const auto* infBytes = reinterpret_cast<const std::uint8_t*>(inf.data());
    if (!conversion.image.nula) {
        const std::array<FileContent, 2> files{{
            {screenFile, conversion.bytes},
            {infFileName(screenFile), {infBytes, inf.size()}},
        }};
        return replaceFiles(files);
    }
    const auto nula = nulaRegisterBytes(conversion.image);
    const std::string nulaInf = nulaInfText();
    const auto* nulaInfBytes = reinterpret_cast<const std::uint8_t*>(nulaInf.data());
    const std::array<FileContent, 4> files{{
        {screenFile, conversion.bytes},
        {infFileName(screenFile), {infBytes, inf.size()}},
        {nulaFileName(screenFile), nula},
        {infFileName(nulaFileName(screenFile)), {nulaInfBytes, nulaInf.size()}},
    }};
    return replaceFiles(files);
}
