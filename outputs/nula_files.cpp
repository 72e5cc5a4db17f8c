#include "outputs/nula_files.h"

#include "outputs/nula_setup.h"

#include <cstdio>

std::string nulaFileName(const std::string& screenFile)
{
    return screenFile + ".nula";
}

std::string nulaInfText()
{
    char line[40];
    std::snprintf(line, sizeof line, "$.NULA     %06X 000000 %06X\n", 0x900u, static_cast<unsigned>(kNulaBytes));
    return line;
}
