#include "outputs/nula_files.h"

#include "outputs/nula_setup.h"
#include "outputs/side_file.h"

std::string nulaInfText(const std::string& bbcName)
{
    return infLine(bbcName, 0x900u, 0, static_cast<std::uint32_t>(kNulaBytes)) + "\n";
}
