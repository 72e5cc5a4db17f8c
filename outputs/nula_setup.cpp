#include "outputs/nula_setup.h"

#include <cassert>
#include <cstdio>

int logicalColourOfIndex(const ScreenMode& mode, int index)
{
    assert(index >= 0 && index < 16);
    switch (mode.bitsPerPixel()) {
    case 1: return index >> 3 & 1;
    case 2: return (index >> 3 & 1) << 1 | (index >> 1 & 1);
    default: return index;
    }
}

std::array<std::uint8_t, kNulaBytes> nulaRegisterBytes(const Screen& image)
{
    assert(image.palette().nula && image.mode != nullptr);
    std::array<std::uint8_t, kNulaBytes> bytes{};
    for (int entry = 0; entry < 16; ++entry) {
        const NulaColour& colour = (*image.palette().nula)[static_cast<std::size_t>(logicalColourOfIndex(*image.mode, entry))];
        bytes[static_cast<std::size_t>(2 * entry)] = static_cast<std::uint8_t>(entry << 4 | colour.red);
        bytes[static_cast<std::size_t>(2 * entry + 1)] = static_cast<std::uint8_t>(colour.green << 4 | colour.blue);
    }
    return bytes;
}

namespace {

std::string hexDigits(std::uint8_t byte)
{
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", byte);
    return digits;
}

}  // namespace

std::string nulaEntryDigits(const Screen& image)
{
    const auto bytes = nulaRegisterBytes(image);
    std::string digits;
    for (std::size_t entry = 0; entry < 16; ++entry)
        digits += hexDigits(bytes[2 * entry]).substr(1) + hexDigits(bytes[2 * entry + 1]);
    return digits;
}

std::string nulaFallbackDigits(const Screen& image)
{
    std::string fallback;
    for (int logical = 0; logical < image.logicalColours(); ++logical)
        fallback += std::to_string(nearestStandardColour((*image.palette().nula)[static_cast<std::size_t>(logical)]));
    return fallback;
}

std::string nulaSetupStatements(const Screen& image)
{
    std::string hex;
    for (const std::uint8_t byte : nulaRegisterBytes(image))
        hex += hexDigits(byte);
    return std::string(kNulaResetStatement) + "FORI%=1TO63STEP2:?&FE23=EVAL(\"&\"+MID$(\"" + hex +
           "\",I%,2)):NEXT:?&FE22=&11:?&FE20=?&248:FORI%=0TO" + std::to_string(image.logicalColours() - 1) +
           ":VDU19,I%,VAL(MID$(\"" + nulaFallbackDigits(image) + "\",I%+1,1));0;:NEXT:";
}
